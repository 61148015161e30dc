// The history combo box: what the drop-down offers while typing and when opened.
#include "app/ComboBox2.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(ComboBox2, TypingOffersTheItemsContainingTheTextInAnyCase)
{
    CComboBox2 combo;
    combo.AddItem(u"http://user.qzone.qq.com/123"_s);
    combo.AddItem(u"http://photo.163.com/Someone"_s);
    combo.AddItem(u"http://user.QZONE.qq.com/456"_s);
    combo.show();
    QTest::keyClicks(combo.lineEdit(), u"QZone"_s);
    QCompleter* completer = combo.completer();
    EXPECT_EQ(completer->completionCount(), 2);
    EXPECT_TRUE(completer->popup()->isVisible());
    // The typed text stays as typed: addresses and Linux paths are case-sensitive.
    EXPECT_EQ(combo.currentText(), u"QZone"_s);
    EXPECT_EQ(combo.count(), 0); // items wait in the history until the list is opened

    combo.lineEdit()->setCursorPosition(2);
    combo.showPopup();
    EXPECT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.itemText(1), u"http://photo.163.com/Someone"_s);
    EXPECT_EQ(combo.currentText(), u"QZone"_s);
    EXPECT_EQ(combo.lineEdit()->cursorPosition(), 2);
    combo.hidePopup();
}

TEST(ComboBox2, WhatIsTypedIsNeverOfferedBack)
{
    CComboBox2 combo;
    combo.AddItem(u"12345678"_s);
    combo.AddItem(u"123456789"_s);
    combo.show();
    QTest::keyClicks(combo.lineEdit(), u"12345678"_s);
    EXPECT_EQ(combo.completer()->completionCount(), 1);
    EXPECT_EQ(combo.completer()->currentCompletion(), u"123456789"_s);
}
