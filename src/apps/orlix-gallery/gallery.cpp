#include "gallery.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

#include "core/device/messages.h"
#include "demos.h"
#include "gui/app/info_dlg.h"
#include "gui/app/progress_dlg.h"
#include "gui/skin/skin_images.h"
#include "gui/skin/skin_scroll.h"
#include "gui/skin/xp_menu.h"

namespace orlix::gallery {

using namespace orlix::gui;

namespace {
QPointer<QLabel>& logLabel() {
  static QPointer<QLabel> label;
  return label;
}

QString describe(uint32_t id, uintptr_t w, intptr_t l) {
  QString name;
  switch (id) {
    case msg::kButtonNotify: name = w == msg::kLeftButtonDown ? "0x70D button down" : "0x70D button up"; break;
    case msg::kLightSelection: return QStringLiteral("0x450 (%1, %2)").arg(w).arg(l);
    case msg::kSliderPos: return QStringLiteral("0x800 slider %1 = %2").arg(l).arg(w);
    case msg::kListSelChange: return QStringLiteral("0x465 list %1 selects item %2").arg(w).arg(l);
    case msg::kListEdit: return QStringLiteral("0x470 list %1 renamed item %2").arg(w).arg(l);
    case msg::kLanguageChoice: return QStringLiteral("0x401 language %1").arg(l);
    case msg::kMenuChoice: return QStringLiteral("0x501 menu item %1").arg(l);
    default: return QStringLiteral("0x%1 (%2, %3)").arg(id, 0, 16).arg(w).arg(l);
  }
  return name;
}
}  // namespace

void MessageLog::setLabel(QLabel* label) { logLabel() = label; }

void MessageLog::note(const QString& text) {
  if (logLabel()) logLabel()->setText(QStringLiteral("Last message: ") + text);
}

// ------------------------------------------------------------------ surface

SkinSurface::SkinSurface(const skin::ImageTriple& files, QWidget* parent) : MessageWidget<QWidget>(parent) {
  normal_ = loadBitmapFile(skinPath(QString::fromLatin1(files.normal)));
  over_ = loadBitmapFile(skinPath(QString::fromLatin1(files.over)));
  down_ = loadBitmapFile(skinPath(QString::fromLatin1(files.down)));
  resize(normal_.size());
  setAttribute(Qt::WA_OpaquePaintEvent);
}

SkinSurface::SkinSurface(const QString& file, QWidget* parent) : MessageWidget<QWidget>(parent) {
  normal_ = over_ = down_ = loadBitmapFile(skinPath(file));
  resize(normal_.size());
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void SkinSurface::shapeFromImage() { setMask(regionFromBitmap(normal_)); }

intptr_t SkinSurface::onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) {
  MessageLog::note(describe(id, wParam, lParam));
  if (onMessageHook) onMessageHook(id, wParam, lParam);
  return 1;
}

void SkinSurface::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, normal_);
  if (paintHook) paintHook(p);
}

void SkinSurface::mouseMoveEvent(QMouseEvent* e) {
  if (mouseMoveHook) mouseMoveHook(e->position().toPoint());
}

void SkinSurface::mousePressEvent(QMouseEvent* e) {
  if (mousePressHook) mousePressHook(e->position().toPoint());
}

// ------------------------------------------------------------------ window

namespace {

// Centres its one child on a dark background.
QWidget* centred(QWidget* content) {
  auto* holder = new QWidget;
  auto* layout = new QVBoxLayout(holder);
  layout->setContentsMargins(12, 12, 12, 12);
  layout->addWidget(content, 0, Qt::AlignCenter);
  content->setFixedSize(content->size());
  return holder;
}

QPushButton* launcher(const QString& text, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setMinimumSize(260, 34);
  b->setCursor(Qt::PointingHandCursor);
  return b;
}

}  // namespace

GalleryWindow::GalleryWindow(QWidget* parent) : QWidget(parent) {
  setWindowTitle(QStringLiteral("Orlix gallery"));
  setWindowIcon(loadIconResource(skin::resource::kProgramIcon));
  setAttribute(Qt::WA_AlwaysShowToolTips);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(0x0b, 0x0d, 0x10));
  pal.setColor(QPalette::WindowText, QColor(0xbd, 0xbd, 0xc8));
  pal.setColor(QPalette::Button, QColor(0x1f, 0x24, 0x2b));
  pal.setColor(QPalette::ButtonText, QColor(0xe8, 0xed, 0xf2));
  setPalette(pal);
  setAutoFillBackground(true);
  setStyleSheet(QStringLiteral(
      "QPushButton { background: #1f242b; color: #e8edf2; border: 1px solid #3d4651; border-radius: 4px; padding: 6px 14px; }"
      "QPushButton:hover { border-color: #19a7e0; }"
      "QPushButton:pressed { background: #19a7e0; color: #0b0d10; }"
      "QToolTip { background: #1f242b; color: #e8edf2; border: 1px solid #19a7e0; }"));

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  auto* row = new QHBoxLayout;
  row->setSpacing(0);
  outer->addLayout(row, 1);

  auto* side = new QWidget(this);
  side->setFixedWidth(184);
  list_ = new CListBoxEx(side);
  list_->setGeometry(8, 12, 168, 640);
  list_->setItemHeight(26);
  list_->setBackgroundColour(QColor(0x11, 0x14, 0x18));
  list_->setTextColours(QColor(0xbd, 0xbd, 0xc8), Qt::white, QColor(0x0c, 0x5a, 0x7a));
  list_->show();
  row->addWidget(side);

  stack_ = new QStackedWidget(this);
  row->addWidget(stack_, 1);

  auto* log = new QLabel(this);
  log->setContentsMargins(12, 6, 12, 8);
  log->setText(QStringLiteral("Messages the demos receive appear here."));
  log->setStyleSheet(QStringLiteral("color: #6b7682; background: #0e1013; border-top: 1px solid #2c333c;"));
  MessageLog::setLabel(log);
  outer->addWidget(log);

  auto* main = buildMainFrameDemo(nullptr);
  mainDemo_ = main;
  addDemo("main", "Main window", centred(main));
  addDemo("setting", "Key setting panel", centred(buildSettingPanelDemo(nullptr, 0)));
  addDemo("setting-macro", "  ... Macro set tab", centred(buildSettingPanelDemo(nullptr, 1)));
  addDemo("setting-base", "  ... Base page", centred(buildSettingPanelDemo(nullptr, 2)));
  const char* effects[6][2] = {{"always", "Always-on page"}, {"breath", "Breathing page"},
                               {"seven", "Seven-colour page"}, {"single", "Single page"},
                               {"strength", "Strength page"},  {"wave", "Wave page"}};
  for (int i = 0; i < 6; ++i)
    addDemo(effects[i][0], effects[i][1], centred(buildEffectDemo(Effect(i), nullptr)));
  addDemo("palette", "Palette", centred(buildPaletteDemo(nullptr)));

  auto* dialogs = new QWidget;
  auto* col = new QVBoxLayout(dialogs);
  col->setAlignment(Qt::AlignCenter);
  col->setSpacing(10);
  const char* opens[][2] = {{"info", "Show info"},           {"info-two", "Info with OK and Cancel"},
                            {"info-timed", "Timed info"},     {"info-long", "Info with a long message"},
                            {"progress", "Progress dialog"},  {"language", "Language menu"},
                            {"game", "Game menu"},            {"tray", "Tray menu"}};
  for (auto& o : opens) {
    QString name = QString::fromLatin1(o[0]);
    auto* b = launcher(QString::fromLatin1(o[1]), dialogs);
    connect(b, &QPushButton::clicked, this, [this, name] { open(name); });
    col->addWidget(b);
  }
  addDemo("dialogs", "Dialogs and menus", dialogs);

  CSkinScrollWnd::attach(list_, [] {
    QImage img;
    loadImageResource(skin::resource::kScrollSkin, "BITMAP", &img);
    return img;
  }());
  list_->setCurrentRow(0);
  connect(list_, &CListBoxEx::currentRowChanged, stack_, &QStackedWidget::setCurrentIndex);
  resize(184 + 960 + 24 + 8, 642 + 24 + 34);
}

void GalleryWindow::addDemo(const QString& name, const QString& title, QWidget* page) {
  names_ << name;
  list_->addItem(0, title, 0);
  stack_->addWidget(page);
}

bool GalleryWindow::showDemo(const QString& name) {
  static const QStringList tabs{"keyboard", "lighting", "macro", "support"};
  if (int t = int(tabs.indexOf(name)); t >= 0) {
    list_->setCurrentRow(0);
    selectTab(mainDemo_, t);
    return true;
  }
  int i = int(names_.indexOf(name));
  if (i < 0) return false;
  list_->setCurrentRow(i);
  return true;
}

bool GalleryWindow::open(const QString& name) {
  if (name == "info") {
    MessageLog::note(showInfo(QStringLiteral("Setting Error"), this) == NoticeResult::Ok ? "Show info: OK"
                                                                                         : "Show info: Cancel");
  } else if (name == "info-two") {
    CInfoDlg dlg(this);
    dlg.setTwoButtons(true);
    dlg.setText(QStringLiteral("Breathing:Uncheck the keyboard button!"));
    MessageLog::note(dlg.exec() == QDialog::Accepted ? "info: OK" : "info: Cancel");
  } else if (name == "info-timed") {
    CInfoDlg dlg(this);
    dlg.setTimed(true);
    dlg.setText(QStringLiteral("The keyboard was not found."));
    dlg.exec();
    MessageLog::note(QStringLiteral("timed info closed"));
  } else if (name == "info-long") {
    CInfoDlg dlg(this);
    dlg.setTwoButtons(true);
    dlg.setText(QStringLiteral("Do you want to restore the default setting? Every key, light and macro binding of "
                               "the current profile goes back to how the keyboard came."));
    dlg.exec();
  } else if (name == "progress") {
    CProgressDlg dlg(this);
    QTimer timer;
    int value = 0;
    connect(&timer, &QTimer::timeout, &dlg, [&] {
      value += 2;
      dlg.post(value > 100 ? msg::kClose : msg::kProgress, uintptr_t(value));
    });
    timer.start(80);
    dlg.exec();
  } else if (name == "language") {
    showDemo("main");
    openLanguageMenu(mainDemo_);
  } else if (name == "game") {
    showDemo("main");
    openGameMenu(mainDemo_);
  } else if (name == "tray") {
    CXPMenu menu(this);
    menu.addItem(24576, skin::resource::kTrayConfigIcon, skin::resource::kTrayConfigIcon, QStringLiteral("Config"));
    menu.addItem(24577, skin::resource::kTrayExitIcon, skin::resource::kTrayExitIcon, QStringLiteral("Exit"));
    int chosen = menu.exec(QCursor::pos());
    MessageLog::note(QStringLiteral("tray menu: %1").arg(chosen));
  } else {
    return false;
  }
  return true;
}

}  // namespace orlix::gallery
