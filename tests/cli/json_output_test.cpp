// orlixctl --json: every listing command prints one JSON document with the
// fields the manual page documents, and errors stay one line on stderr.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>
#include <thread>

#include "../platform/platform_test_util.h"
#include "cli/cli.h"
#include "core/device/virtual_keyboard.h"
#include "platform/vkbd_server.h"

using namespace orlix;
using namespace testutil;
using nlohmann::json;

namespace {

struct JsonCliTest : ::testing::Test {
  TempFolder dir;
  fs::path root = dir.path / "root", socket = dir.path / "kb.sock";
  ScopedEnv sysfs{"ORLIX_SYSFS_ROOT", (dir.path / "sysfs").string()};
  VirtualKeyboard keyboard;
  std::unique_ptr<platform::VkbdServer> server;
  std::thread serverThread;

  struct Result {
    int rc;
    std::string out, err;
  };

  void SetUp() override {
    fs::create_directories(root);
    fs::copy(fs::path(ORLIX_TEST_DATA_DIR).parent_path().parent_path() / "data" / "Language", root / "Language");
    server = std::make_unique<platform::VkbdServer>(keyboard, socket, dir.path / "state");
    ASSERT_TRUE(server->listen()) << server->error();
    serverThread = std::thread([this] { server->run(); });
  }
  void TearDown() override {
    server->stop();
    serverThread.join();
  }
  Result run(std::vector<std::string> args) {
    std::vector<std::string> argv{"orlixctl", "--root",   root.string(), "--config", (dir.path / "cfg").string(),
                                  "--driver", "sim:" + socket.string()};
    argv.insert(argv.end(), args.begin(), args.end());
    std::ostringstream out, err;
    int rc = cli::runCli(argv, out, err);
    return {rc, out.str(), err.str()};
  }
  // The output of a command that must succeed, parsed as one JSON document.
  json document(std::vector<std::string> args) {
    auto r = run(args);
    EXPECT_EQ(r.rc, cli::kExitOk) << r.err;
    EXPECT_EQ(r.err, "");
    json doc;
    try {
      doc = json::parse(r.out);  // throws on anything but exactly one document
    } catch (const json::exception& e) {
      ADD_FAILURE() << e.what() << "\n" << r.out;
    }
    return doc;
  }
};

enum class Type { Number, String, Bool, Array, Object, NumberOrNull };

bool hasType(const json& v, Type t) {
  switch (t) {
    case Type::Number: return v.is_number_integer();
    case Type::String: return v.is_string();
    case Type::Bool: return v.is_boolean();
    case Type::Array: return v.is_array();
    case Type::Object: return v.is_object();
    case Type::NumberOrNull: return v.is_number_integer() || v.is_null();
  }
  return false;
}

std::string manualPage() {
  std::ifstream in(fs::path(ORLIX_BUILD_DIR) / "man" / "orlixctl.1");
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(JsonCliTest, EachCommandPrintsTheDocumentedFields) {
  // A macro bound to a key, so the macro listings and bound_keys have content.
  auto made = run({"macro", "new", "--category", "3", "--name", "Reload", "--loop-option", "2", "--events",
                   "a down, 25ms, a up"});
  ASSERT_EQ(made.rc, cli::kExitOk) << made.err;
  std::string id = made.out.substr(made.out.find("0x"), 10);
  ASSERT_EQ(run({"key", "set", "f1", "macro:" + id}).rc, cli::kExitOk);

  struct Field {
    const char* pointer;
    Type type;
  };
  struct Case {
    std::vector<std::string> args;
    std::vector<Field> fields;
  };
  const Case cases[] = {
      {{"version"}, {{"/major", Type::Number}, {"/minor", Type::Number}}},
      {{"paths"},
       {{"/program", Type::String}, {"/data", Type::String}, {"/config", Type::String}, {"/runtime", Type::String},
        {"/state", Type::String}, {"/socket", Type::String}, {"/sysfs", Type::String}}},
      {{"devices"},
       {{"/keyboard_present", Type::Bool}, {"/nodes", Type::Array}, {"/virtual_keyboard/state", Type::String},
        {"/virtual_keyboard/socket", Type::String}}},
      {{"sim", "status"},
       {{"/plugged", Type::Bool}, {"/socket", Type::String}, {"/state", Type::String}, {"/pid", Type::Number},
        {"/clients", Type::Number}, {"/pending_events", Type::Number}, {"/lighting_commands", Type::Number},
        {"/transfers", Type::Number}}},
      {{"keys"},
       {{"/language/id", Type::Number}, {"/language/name", Type::String}, {"/keys/0/index", Type::Number},
        {"/keys/0/name", Type::String}, {"/keys/0/token", Type::String}, {"/keys/0/code", Type::Number}, {"/keys/0/modified", Type::Bool},
        {"/keys/0/description", Type::String}}},
      {{"key", "show", "f1"},
       {{"/index", Type::Number}, {"/name", Type::String}, {"/token", Type::String}, {"/function", Type::String},
        {"/description", Type::String}, {"/code", Type::Number}, {"/default_code", Type::Number},
        {"/modified", Type::Bool}}},
      {{"profile", "list"},
       {{"/current", Type::Number}, {"/profiles/4/number", Type::Number}, {"/profiles/0/name", Type::String},
        {"/profiles/0/path", Type::String}, {"/profiles/0/file_exists", Type::Bool},
        {"/profiles/0/current", Type::Bool}}},
      {{"macro", "list"},
       {{"/macros/0/id", Type::Number}, {"/macros/0/category", Type::Number}, {"/macros/0/game", Type::String},
        {"/macros/0/name", Type::String}, {"/macros/0/event_count", Type::Number},
        {"/macros/0/play_count", Type::NumberOrNull}, {"/macros/0/loop_option", Type::NumberOrNull}}},
      {{"macro", "show", id},
       {{"/id", Type::Number}, {"/name", Type::String}, {"/category", Type::Number}, {"/game", Type::String},
        {"/play_count", Type::NumberOrNull}, {"/loop_option", Type::NumberOrNull}, {"/events/0/kind", Type::String},
        {"/events/0/key", Type::String}, {"/events/1/ms", Type::Number}, {"/bound_keys", Type::Array}}},
  };
  const std::string page = manualPage();
  ASSERT_FALSE(page.empty()) << "the manual page is made by the build";
  for (const auto& c : cases) {
    std::vector<std::string> args{"--json"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    SCOPED_TRACE(c.args[0] + (c.args.size() > 1 ? " " + c.args[1] : ""));
    json doc = document(args);
    for (const auto& f : c.fields) {
      json::json_pointer p(f.pointer);
      ASSERT_TRUE(doc.contains(p)) << f.pointer << " in " << doc.dump();
      EXPECT_TRUE(hasType(doc[p], f.type)) << f.pointer << " = " << doc[p].dump();
      std::string name = p.back();
      if (name.find_first_not_of("0123456789") == std::string::npos) continue;
      EXPECT_TRUE(page.find(".B " + name + "\n") != std::string::npos ||
                  page.find(".BR " + name + " ") != std::string::npos)
          << name << " is not documented in orlixctl(1)";
    }
  }

  // The values agree with the text forms.
  json shown = document({"--json", "macro", "show", id});
  EXPECT_EQ(shown["id"], std::stoul(id, nullptr, 16));
  EXPECT_EQ(shown["play_count"], nullptr);
  EXPECT_EQ(shown["loop_option"], 2);
  EXPECT_EQ(shown["events"], json::parse(R"([{"kind":"down","key":"a"},{"kind":"delay","ms":25},{"kind":"up","key":"a"}])"));
  json key = document({"--json", "key", "show", "f1"});
  EXPECT_EQ(shown["bound_keys"], json::array({key["index"]}));
  EXPECT_EQ(key["function"].get<std::string>().rfind("macro:" + id, 0), 0u) << key.dump();
  EXPECT_TRUE(key["modified"].get<bool>());
  EXPECT_EQ(key["token"], "f1");
  EXPECT_EQ(document({"--json", "version"}), json::parse(R"({"major":1,"minor":6})"));
}

TEST_F(JsonCliTest, NamesWithQuotesAndBackslashesSurviveParsing) {
  const std::string name = "a\"b\\c\t</x>";
  ASSERT_EQ(run({"macro", "new", "--category", "1", "--name", name, "--events", "a down"}).rc, cli::kExitOk);
  json doc = document({"--json", "macro", "list"});
  ASSERT_EQ(doc["macros"].size(), 1u) << doc.dump();
  EXPECT_EQ(doc["macros"][0]["name"], name);
}

TEST_F(JsonCliTest, ErrorsStayOneLineOnStderrWithTheTextExitCodes) {
  struct Case {
    std::vector<std::string> args;
    int rc;
  };
  const Case cases[] = {
      {{"macro", "show", "0x01000001"}, cli::kExitFailure},
      {{"macro", "show", "nonsense"}, cli::kExitUsage},
      {{"key", "show", "nokey"}, cli::kExitUsage},
      {{"profile", "list", "extra"}, cli::kExitUsage},
      {{"apply"}, cli::kExitUsage},  // no JSON form
      {{"sim", "start"}, cli::kExitUsage},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{"--json"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    auto r = run(args);
    SCOPED_TRACE(c.args[0] + " " + (c.args.size() > 1 ? c.args[1] : ""));
    EXPECT_EQ(r.rc, c.rc) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.err.rfind("orlixctl: ", 0), 0u) << r.err;
    // The same command without --json ends with the same code.
    if (c.args[0] != "apply" && c.args[0] != "sim") {
      EXPECT_EQ(run(c.args).rc, c.rc);
    }
  }
}

}  // namespace
