// The pop-up menus: the language popup's layout and notifications, the skinned
// game menu's calls, the tray menu.

#include <QTimer>
#include <QtTest>

#include "core/device/messages.h"
#include "core/skin/skin_files.h"
#include "gui/skin/menu_skin.h"
#include "gui/skin/wnd_popup.h"
#include "gui/skin/xp_menu.h"
#include "gui_test_support.h"

using namespace orlix;
using namespace orlix::gui;
using namespace orlix::gui::test;

class TestMenus : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { setProgramFolder(QStringLiteral(ORLIX_BIN_DIR)); }

  void popupLayout() {
    Recorder owner;
    auto* menu = new CMenuEx(&owner);
    QImage flag;
    QVERIFY(loadImageResource(193, "PNG", &flag));
    menu->addItem(1, QStringLiteral("Chinese"), flag);
    menu->addSeparator();
    menu->addItem(2, QStringLiteral("English"), flag);
    menu->create(&owner, 100, 100);
    const auto& r = menu->records();
    QCOMPARE(r[0].rect, QRect(6, 6, 104, 22));
    QCOMPARE(r[1].rect, QRect(6, 28, 104, 4));
    QCOMPARE(r[2].rect, QRect(6, 32, 104, 22));
    QCOMPARE(menu->size(), QSize(116, 57));
    // The frame's transparent corners are not part of the window.
    QVERIFY(!menu->mask().contains(QPoint(0, 0)));
    QVERIFY(menu->mask().contains(QPoint(58, 20)));
    menu->close();
  }

  void popupChoiceAndClose() {
    Recorder owner;
    QPointer<CMenuEx> menu = new CMenuEx(&owner);
    menu->addItem(7, QStringLiteral("German"));
    menu->addSeparator();
    menu->create(&owner, 50, 50);
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QPoint item = menu->records()[0].rect.center();
    QTest::mouseMove(menu, item);
    QTRY_COMPARE(menu->hovered(), 0);
    QTest::mouseMove(menu, menu->records()[1].rect.center());  // separators are never hovered
    QTRY_COMPARE(menu->hovered(), -1);
    QTest::mouseMove(menu, item);
    QTRY_COMPARE(menu->hovered(), 0);
    QTest::mouseClick(menu, Qt::LeftButton, {}, item);
    QTRY_COMPARE(owner.of(msg::kLanguageChoice).size(), size_t(1));
    QCOMPARE(owner.of(msg::kLanguageChoice)[0], (Message{msg::kLanguageChoice, 0, 7}));
    menu->close();
    QTRY_COMPARE(owner.of(msg::kLanguageChoice).size(), size_t(2));
    QCOMPARE(owner.of(msg::kLanguageChoice)[1], (Message{msg::kLanguageChoice, 0, 0}));
    QTRY_VERIFY(menu.isNull());  // deleted once closed
  }

  void skinnedMenuItems() {
    MenuExItem item = makeMenuExItem(kMenuExTopLevel, 21, QString(45, QChar('x')));
    QCOMPARE(item.parent, 255u);
    QCOMPARE(item.id, 21u);
    QCOMPARE(item.text[38], u'x');
    QCOMPARE(item.text[39], u'\0');  // at most 39 characters and the zero
  }

  void skinnedMenuAnswersWith0x501() {
    Recorder owner;
    owner.show();
    std::vector<MenuExItem> items{makeMenuExItem(kMenuExTopLevel, 1, QStringLiteral("Battlefield 3 ")),
                                  makeMenuExItem(kMenuExTopLevel, 21, QStringLiteral("Customize")),
                                  makeMenuExItem(21, 99, QStringLiteral("nested"))};
    std::array<QString, 8> images;
    for (size_t i = 0; i < 8; ++i)
      images[i] = skinPath(QString(skin::kMenuFolder) + skin::kMenuImages[i]);
    QVERIFY(CreateMenuEx(&owner, 24, QPoint(40, 40), QColor(83, 97, 103), Qt::white, QColor(21, 140, 185), images,
                         items.data(), int(items.size())));
    QWidget* menu = openMenuEx(&owner);
    QVERIFY(menu);
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QCOMPARE(menu->height(), 2 * 24 + 2);  // two top-level items
    QTest::mouseClick(menu, Qt::LeftButton, {}, QPoint(20, 1 + 12));
    QTRY_COMPARE(owner.of(msg::kMenuChoice).size(), size_t(1));
    QCOMPARE(owner.of(msg::kMenuChoice)[0].lParam, intptr_t(1));
    QVERIFY(DestroyMenuEx(&owner));
    QVERIFY(!openMenuEx(&owner));
    QVERIFY(!DestroyMenuEx(&owner));
  }

  void trayMenuReturnsTheChosenCommand() {
    CXPMenu menu;
    menu.addItem(24576, skin::resource::kTrayConfigIcon, skin::resource::kTrayConfigIcon, QStringLiteral("Config"));
    menu.addItem(24577, skin::resource::kTrayExitIcon, skin::resource::kTrayExitIcon, QStringLiteral("Exit"));
    QCOMPARE(menu.itemRect(1), QRect(0, 22, 75, 22));
    QTimer::singleShot(50, &menu, [&] {
      QTest::mouseMove(&menu, QPoint(30, 33));
      QTest::mouseClick(&menu, Qt::LeftButton, {}, QPoint(30, 33));
    });
    QCOMPARE(menu.exec(QPoint(300, 300)), 24577);
    QTimer::singleShot(50, &menu, [&] { menu.close(); });
    QCOMPARE(menu.exec(QPoint(300, 300)), 0);
  }
};

QTEST_MAIN(TestMenus)
#include "tst_menus.moc"
