#pragma once

// Clicks a check box where a user does: on its indicator, not its centre.

#include <QCheckBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest>

namespace tavrelia::test {

inline void clickCheckBox(QCheckBox* box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, {}, indicator.center());
}

}  // namespace tavrelia::test
