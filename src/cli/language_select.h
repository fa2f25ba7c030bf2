#pragma once
// Choosing and loading the interface language for orlixctl's commands.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "cli/cli.h"
#include "core/localization/language_strings.h"
#include "core/localization/languages.h"

namespace orlix::cli {

// A language by id ("3"), file name ("fre", "fre.xml") or menu text ("French"),
// without regard to case.
std::optional<localization::LanguageInfo> parseLanguage(std::string_view text);

// The program folder the options select.
std::filesystem::path programFolderOf(const Context& ctx);

// Loads the language into strings: the one asked for, else the one the program
// would start in. False (with error set) when the language is unknown or its
// file cannot be read.
bool loadCliLanguage(const Context& ctx, const std::string& asked, localization::LanguageStrings& strings,
                     localization::LanguageInfo& chosen, std::string& error);

}  // namespace orlix::cli
