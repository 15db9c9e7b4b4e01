#include "CustomListBox.h"
#include "DrawingSurface.h"
#include "LumenErrors.h"
#include "WidgetTestSupport.h"

#include <QFontInfo>
#include <QKeyEvent>
#include <QMetaProperty>
#include <QPainter>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using widgettest::SendMouse;

const QColor kSelBox(0x00, 0xC0, 0xC0); // the default 0x00C0C000
const QColor kWhite(Qt::white);

class CustomListBoxTest : public testing::Test {
protected:
    void SetUp() override {
        widgettest::App();
        list = std::make_unique<CustomListBox>();
        list->resize(200, 150);
        list->show();
    }

    DrawingSurface& theList() { return *list->findChild<DrawingSurface*>("TheList"); }
    QWidget& thumb() { return *list->findChild<QWidget*>("ScrollBox"); }

    void add(const std::vector<QString>& texts) {
        for (const QString& text : texts)
            list->AddItem(text, -1);
    }

    // Row height as drawn: the height of the selection box on row 0.
    int rowHeight() {
        const int saved = list->Listindex();
        pressList(1.0);
        const QImage drawn = theList().canvas().copy();
        int height = 0;
        while (height < drawn.height() && drawn.pixelColor(rightColumn(), height) == kSelBox)
            ++height;
        if (saved >= 0)
            pressList(saved * height + 1.0);
        return height;
    }

    void pressList(double y, Qt::MouseButton button = Qt::LeftButton) {
        SendMouse(theList(), QEvent::MouseButtonPress, {10.0, y}, button, button);
        SendMouse(theList(), QEvent::MouseButtonRelease, {10.0, y}, button, Qt::NoButton);
    }

    void key(int qtKey) {
        QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier);
        QApplication::sendEvent(&theList(), &press);
        QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier);
        QApplication::sendEvent(&theList(), &release);
    }

    // A column right of any text, inside the list.
    int rightColumn() { return theList().width() - 3; }

    // Colour of the visible control at (x, y).
    QColor shown(int x, int y) { return widgettest::Pixels(*list).pixelColor(x, y); }

    QStringList texts() {
        QStringList result;
        for (int i = 0; i < list->LCount(); ++i)
            result.append(list->List(i));
        return result;
    }

    int thumbBottom() { return list->height() - 36 - 1; }

    std::unique_ptr<CustomListBox> list;
};

TEST_F(CustomListBoxTest, NewControlIsEmptyWithoutSelection) {
    EXPECT_EQ(list->LCount(), 0);
    EXPECT_EQ(list->Listindex(), -1);
    EXPECT_EQ(theList().y(), 0);
    EXPECT_EQ(thumb().y(), 1);
    EXPECT_EQ(thumb().size(), QSize(16, 36));
    EXPECT_EQ(theList().width(), 200 - 19 - 1);
    EXPECT_EQ(list->fontInfo().pointSize(), 7);
    EXPECT_EQ(QFontInfo(list->fontInfo()).styleHint(), QFont::SansSerif);
}

TEST_F(CustomListBoxTest, SelectionBoxFillsTheSelectedRowOnly) {
    add({"one", "two", "three", "four"});
    const int h = rowHeight();
    ASSERT_GT(h, 4);
    pressList(h + h / 2.0);
    EXPECT_EQ(list->Listindex(), 1);
    for (int row = 0; row < 4; ++row)
        for (int y : {row * h, row * h + h / 2, row * h + h - 1})
            EXPECT_EQ(shown(rightColumn(), y), row == 1 ? kSelBox : kWhite)
                << "row " << row << " y " << y;

    list->setSelBoxColor(0x000000FF);
    pressList(3 * h + 1.0);
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(shown(rightColumn(), row * h + h / 2), row == 3 ? QColor(Qt::red) : kWhite)
            << "row " << row;
}

TEST_F(CustomListBoxTest, ChangingTheSelectionRedrawsOnlyTheTwoRowsConcerned) {
    add({"a", "b", "c", "d"});
    const int h = rowHeight();
    pressList(h + 1.0);
    // A mark on row 3, which neither the old nor the new selection touches.
    {
        QPainter painter(&theList().canvas());
        painter.fillRect(QRect(rightColumn(), 3 * h + 2, 1, 1), Qt::magenta);
    }
    pressList(2 * h + 1.0);
    const QImage drawn = theList().canvas().copy();
    EXPECT_EQ(drawn.pixelColor(rightColumn(), 3 * h + 2), QColor(Qt::magenta));
    EXPECT_EQ(drawn.pixelColor(rightColumn(), h + 2), kWhite);
    EXPECT_EQ(drawn.pixelColor(rightColumn(), 2 * h + 2), kSelBox);
}

TEST_F(CustomListBoxTest, PictureRowShowsItsPictureAndAnUnknownIndexShowsNone) {
    QPixmap red(12, 12);
    red.fill(Qt::red);
    list->AddImage(red);
    list->AddItem(" ", 0);
    list->AddItem(" ", 5); // only one picture was added: drawn without one
    const int h = rowHeight();
    list->Clear();
    list->AddItem(" ", 0);
    list->AddItem(" ", 5);
    // The picture sits 3 pixels in and 1 down, scaled to the row height less 2.
    EXPECT_EQ(shown(3, 1), QColor(Qt::red));
    EXPECT_EQ(shown(3 + h - 3, h - 2), QColor(Qt::red));
    EXPECT_EQ(shown(3 + h - 2, h / 2), kWhite);
    EXPECT_EQ(shown(2, h / 2), kWhite);
    EXPECT_EQ(shown(4, h + h / 2), kWhite);
}

TEST_F(CustomListBoxTest, TiledBackgroundIsRestoredUnderARowThatLosesTheSelection) {
    // An 8 x 8 tile with four coloured quarters shows where each tile starts.
    QPixmap tile(8, 8);
    {
        QPainter painter(&tile);
        painter.fillRect(0, 0, 4, 4, Qt::red);
        painter.fillRect(4, 0, 4, 4, Qt::blue);
        painter.fillRect(0, 4, 4, 4, Qt::green);
        painter.fillRect(4, 4, 4, 4, Qt::yellow);
    }
    list->setPicture(tile);
    add({" ", " ", " "});
    const int h = rowHeight();
    pressList(h + 1.0);
    pressList(2 * h + 1.0);
    const auto expected = [](int x, int y) {
        const bool left = x % 8 < 4, top = y % 8 < 4;
        return QColor(top ? (left ? Qt::red : Qt::blue) : (left ? Qt::green : Qt::yellow));
    };
    for (int y = h; y < 2 * h; ++y)
        for (int x : {40, 43, 44, 47})
            EXPECT_EQ(shown(x, y), expected(x, y)) << x << "," << y;
    EXPECT_EQ(shown(40, 2 * h + 1), kSelBox);
    EXPECT_EQ(shown(40, 3 * h + 5), expected(40, 3 * h + 5));

    list->setGraphical(false);
    EXPECT_EQ(shown(40, 3 * h + 5), kWhite);
}

TEST_F(CustomListBoxTest, SortingIsAscendingAndIgnoresCase) {
    struct Case {
        std::vector<QString> added;
        QStringList expected;
    };
    const Case cases[] = {
        {{"b", "A", "c"}, {"A", "b", "c"}},
        {{"delta", "Alpha", "charlie", "Bravo"}, {"Alpha", "Bravo", "charlie", "delta"}},
        {{"Z", "y", "X"}, {"X", "y", "Z"}},
    };
    for (const Case& c : cases) {
        list->Clear();
        list->setSorted(true);
        add(c.added);
        EXPECT_EQ(texts(), c.expected);
    }
}

TEST_F(CustomListBoxTest, SortedStoresTheFlagOnlyAndSortTheListSortsNow) {
    add({"b", "A"});
    list->setSorted(true);
    EXPECT_EQ(texts(), QStringList({"b", "A"}));
    list->SortTheList();
    EXPECT_EQ(texts(), QStringList({"A", "b"}));
}

TEST_F(CustomListBoxTest, RemovalKeepsTheSelectionOnTheSameItem) {
    struct Case {
        int removed;
        int expectedIndex;
        QString expectedSelected;
        int expectedCount;
    };
    const Case cases[] = {
        {0, 1, "c", 4},  // before the selection: the index follows the item
        {1, 1, "c", 4},  // just before
        {2, -1, "", 4},  // the selection itself: nothing selected
        {4, 2, "c", 4},  // after: unchanged
        {-1, 2, "c", 5}, // outside the items: nothing happens
        {5, 2, "c", 5},
    };
    for (const Case& c : cases) {
        list->Clear();
        add({"a", "b", "c", "d", "e"});
        const int h = rowHeight();
        pressList(2 * h + 1.0);
        ASSERT_EQ(list->Listindex(), 2);
        list->RemoveItem(c.removed);
        EXPECT_EQ(list->LCount(), c.expectedCount) << "removed " << c.removed;
        EXPECT_EQ(list->Listindex(), c.expectedIndex) << "removed " << c.removed;
        if (c.expectedIndex >= 0) {
            EXPECT_EQ(list->List(c.expectedIndex), c.expectedSelected);
            EXPECT_EQ(shown(rightColumn(), c.expectedIndex * h + 1), kSelBox);
        }
    }
}

TEST_F(CustomListBoxTest, SetItemTextOutsideTheItemsChangesNothing) {
    add({"a", "b"});
    list->SetItemText(-1, "x");
    list->SetItemText(list->LCount(), "x");
    EXPECT_EQ(texts(), QStringList({"a", "b"}));
    list->SetItemText(1, "x");
    EXPECT_EQ(texts(), QStringList({"a", "x"}));
}

TEST_F(CustomListBoxTest, ListOutsideTheItemsFailsWithSubscriptError) {
    add({"a"});
    for (int index : {-1, 1, 32767}) {
        EXPECT_EQ(list->List(index), QString()) << index;
        EXPECT_EQ(list->ErrorCode(), 9u) << index;
        EXPECT_EQ(list->TakeError(), QStringLiteral("Subscript out of range"));
    }
    EXPECT_EQ(list->List(0), "a");
    EXPECT_EQ(list->ErrorCode(), 0u);
}

TEST_F(CustomListBoxTest, MoveUpAndMoveDownStopAtTheEnds) {
    struct Case {
        int selected; // -1: none
        bool up;
        int expected;
    };
    const Case cases[] = {
        {1, true, 0},  {0, true, 0},  {-1, true, -1}, //
        {1, false, 2}, {2, false, 2}, {-1, false, -1},
    };
    for (const Case& c : cases) {
        list->Clear();
        add({"a", "b", "c"});
        if (c.selected >= 0)
            pressList(c.selected * rowHeight() + 1.0);
        c.up ? list->MoveUp() : list->MoveDown();
        EXPECT_EQ(list->Listindex(), c.expected) << c.selected << (c.up ? " up" : " down");
    }
}

TEST_F(CustomListBoxTest, ArrowKeysWalkTheListAndKeepTheSelectionInView) {
    std::vector<QString> many;
    for (int i = 0; i < 60; ++i)
        many.push_back(QString::number(i));
    add(many);
    const int h = rowHeight();
    int keyDowns = 0, lastCode = 0;
    QObject::connect(list.get(), &CustomListBox::KeyDown, [&](int code, int) {
        ++keyDowns;
        lastCode = code;
    });
    pressList(1.0);
    for (int i = 1; i < 60; ++i) {
        key(Qt::Key_Down);
        ASSERT_EQ(list->Listindex(), i);
        EXPECT_GE(theList().y() + i * h, 0) << "row " << i;
        EXPECT_LE(theList().y() + (i + 1) * h, list->height()) << "row " << i;
    }
    EXPECT_EQ(keyDowns, 59);
    EXPECT_EQ(lastCode, 40);
    EXPECT_EQ(thumb().y(), thumbBottom());
    EXPECT_EQ(shown(rightColumn(), list->height() - 3), kSelBox);
    for (int i = 58; i >= 0; --i) {
        key(Qt::Key_Up);
        EXPECT_GE(theList().y() + i * h, 0) << "row " << i;
    }
    EXPECT_EQ(lastCode, 38);
    EXPECT_EQ(theList().y(), 0);
    EXPECT_EQ(thumb().y(), 1);
}

TEST_F(CustomListBoxTest, HomeEndAndPageKeysMoveTheSelectionAndKeepItInView) {
    std::vector<QString> many;
    for (int i = 0; i < 300; ++i)
        many.push_back(QString::number(i));
    add(many);
    const int h = rowHeight();
    const int page = list->height() / h;
    struct Step {
        int qtKey;
        int expected;
    };
    const Step steps[] = {
        {Qt::Key_End, 299},
        {Qt::Key_PageDown, 299},
        {Qt::Key_PageUp, 299 - page},
        {Qt::Key_PageUp, 299 - 2 * page},
        {Qt::Key_Home, 0},
        {Qt::Key_PageUp, 0},
        {Qt::Key_PageDown, page},
        {Qt::Key_PageDown, 2 * page},
        {Qt::Key_Up, 2 * page - 1},
    };
    pressList(1.0);
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << "key " << std::hex << step.qtKey);
        key(step.qtKey);
        ASSERT_EQ(list->Listindex(), step.expected);
        EXPECT_GE(theList().y() + step.expected * h, 0);
        EXPECT_LE(theList().y() + (step.expected + 1) * h, list->height());
        EXPECT_EQ(shown(rightColumn(), theList().y() + step.expected * h + h / 2), kSelBox);
    }
}

TEST_F(CustomListBoxTest, PageKeysWithoutASelectionDoNothingAndHomeSelectsTheFirst) {
    add({"a", "b", "c"});
    key(Qt::Key_PageDown);
    key(Qt::Key_PageUp);
    EXPECT_EQ(list->Listindex(), -1);
    key(Qt::Key_End);
    EXPECT_EQ(list->Listindex(), 2);
    list->Clear();
    key(Qt::Key_Home);
    EXPECT_EQ(list->Listindex(), -1);
}

TEST_F(CustomListBoxTest, ScrollIntoViewShowsAnItemAndKeepsTheSelection) {
    std::vector<QString> many;
    for (int i = 0; i < 500; ++i)
        many.push_back(QString::number(i));
    add(many);
    const int h = rowHeight();
    pressList(1.0);
    for (int index : {400, 499, 250, 0, 251}) {
        SCOPED_TRACE(index);
        list->ScrollIntoView(index);
        EXPECT_GE(theList().y() + index * h, 0);
        EXPECT_LE(theList().y() + (index + 1) * h, list->height());
        EXPECT_EQ(list->Listindex(), 0);
    }
    // An item already in view does not move the list.
    const int y = theList().y();
    list->ScrollIntoView(250);
    EXPECT_EQ(theList().y(), y);
    list->ScrollIntoView(-1);
    list->ScrollIntoView(500);
    EXPECT_EQ(theList().y(), y);
}

TEST_F(CustomListBoxTest, DraggingTheThumbScrollsFromTopToLastRow) {
    std::vector<QString> many(60, QStringLiteral("song"));
    add(many);
    const int h = rowHeight();
    const QPointF grip(8, 10);
    const QPointF global = thumb().mapToGlobal(grip);
    widgettest::SendMouseGlobal(thumb(), QEvent::MouseButtonPress, grip, global, Qt::LeftButton,
                                Qt::LeftButton);
    widgettest::SendMouseGlobal(thumb(), QEvent::MouseMove, grip, global + QPointF(0, 50),
                                Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(thumb().y(), 51);
    EXPECT_LT(theList().y(), 0);
    widgettest::SendMouseGlobal(thumb(), QEvent::MouseMove, grip, global + QPointF(0, 900),
                                Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(thumb().y(), thumbBottom());
    // The bottom position shows the last row whole, at the bottom.
    EXPECT_EQ(theList().y() + 60 * h, list->height() - 1);
    // Moving with another button does not drag.
    widgettest::SendMouseGlobal(thumb(), QEvent::MouseMove, grip, global, Qt::NoButton,
                                Qt::RightButton);
    EXPECT_EQ(thumb().y(), thumbBottom());
    widgettest::SendMouseGlobal(thumb(), QEvent::MouseMove, grip, global - QPointF(0, 900),
                                Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(thumb().y(), 1);
    EXPECT_EQ(theList().y(), 0);
}

TEST_F(CustomListBoxTest, PressingTheTrackMovesTheThumbThere) {
    std::vector<QString> many(60, QStringLiteral("song"));
    add(many);
    const int h = rowHeight();
    const double trackX = list->width() - 5;
    SendMouse(*list, QEvent::MouseButtonPress, {trackX, 60}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(thumb().y(), 60);
    EXPECT_LT(theList().y(), 0);
    EXPECT_GT(theList().y() + 60 * h, list->height());
    SendMouse(*list, QEvent::MouseButtonPress, {trackX, 140}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(thumb().y(), thumbBottom());
    EXPECT_EQ(theList().y() + 60 * h, list->height() - 1);
    SendMouse(*list, QEvent::MouseButtonPress, {trackX, 0}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(thumb().y(), 1);
    EXPECT_EQ(theList().y(), 0);
}

TEST_F(CustomListBoxTest, RowsThatFitDoNotScroll) {
    add({"a", "b", "c"});
    const QPointF grip(8, 10);
    const QPointF global = thumb().mapToGlobal(grip);
    widgettest::SendMouseGlobal(thumb(), QEvent::MouseButtonPress, grip, global, Qt::LeftButton,
                                Qt::LeftButton);
    widgettest::SendMouseGlobal(thumb(), QEvent::MouseMove, grip, global + QPointF(0, 40),
                                Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(thumb().y(), 1);
    SendMouse(*list, QEvent::MouseButtonPress, {195, 100}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(thumb().y(), 1);
    EXPECT_EQ(theList().y(), 0);
}

TEST_F(CustomListBoxTest, ClearAfterScrollingLeavesAnEmptyListAtItsTop) {
    std::vector<QString> many(60, QStringLiteral("song"));
    add(many);
    pressList(5.0);
    for (int i = 0; i < 40; ++i)
        list->MoveDown();
    ASSERT_LT(theList().y(), 0);
    list->Clear();
    EXPECT_EQ(list->LCount(), 0);
    EXPECT_EQ(list->Listindex(), -1);
    EXPECT_EQ(thumb().y(), 1);
    EXPECT_EQ(theList().y(), 0);
    EXPECT_EQ(shown(rightColumn(), 5), kWhite);
}

TEST_F(CustomListBoxTest, EventsComeFromTheListSurfaceOnly) {
    add({"a", "b", "c"});
    const int h = rowHeight();
    int downs = 0, ups = 0, clicks = 0, doubles = 0, lastButton = 0;
    float lastY = -1;
    QObject::connect(list.get(), &CustomListBox::MouseDown, [&](int button, int, float, float y) {
        ++downs;
        lastButton = button;
        lastY = y;
    });
    QObject::connect(list.get(), &CustomListBox::MouseUp, [&] { ++ups; });
    QObject::connect(list.get(), &CustomListBox::Click, [&] { ++clicks; });
    QObject::connect(list.get(), &CustomListBox::DblClick, [&] { ++doubles; });

    pressList(h + 2.0, Qt::RightButton); // any button selects
    EXPECT_EQ(list->Listindex(), 1);
    EXPECT_EQ(lastButton, 2);
    EXPECT_FLOAT_EQ(lastY, h + 2.0f);
    SendMouse(theList(), QEvent::MouseButtonDblClick, {10, 2}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(thumb(), QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(*list, QEvent::MouseButtonPress, {195, 5}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);
    EXPECT_EQ(clicks, 0); // a right-button release is no click
    EXPECT_EQ(doubles, 1);
    pressList(2.0);
    EXPECT_EQ(clicks, 1);
}

TEST_F(CustomListBoxTest, PressBelowTheLastItemSelectsNoItem) {
    add({"a", "b"});
    const int h = rowHeight();
    pressList(4 * h + 2.0);
    EXPECT_EQ(list->Listindex(), 4);
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(shown(rightColumn(), row * h + 2), kWhite) << "row " << row;
}

TEST_F(CustomListBoxTest, DraggingWithTheLeftButtonMovesTheSelection) {
    add({"a", "b", "c", "d"});
    const int h = rowHeight();
    SendMouse(theList(), QEvent::MouseButtonPress, {10, 1}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(theList(), QEvent::MouseMove, {10, 2.0 * h + 1}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(list->Listindex(), 2);
    SendMouse(theList(), QEvent::MouseMove, {10, 3.0 * h + 1}, Qt::NoButton, Qt::RightButton);
    EXPECT_EQ(list->Listindex(), 2);
    // Above the control the selection waits instead of following.
    SendMouse(theList(), QEvent::MouseMove, {10, -20}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(list->Listindex(), 2);
}

TEST_F(CustomListBoxTest, GrowingTheControlBringsAFittingListBackToItsTop) {
    std::vector<QString> many(20, QStringLiteral("song"));
    add(many);
    pressList(1.0);
    for (int i = 0; i < 19; ++i)
        list->MoveDown();
    ASSERT_LT(theList().y(), 0);
    list->resize(200, 600);
    EXPECT_EQ(theList().y(), 0);
    EXPECT_EQ(thumb().y(), 1);
}

TEST_F(CustomListBoxTest, WheelScrollsThreeRowsANotchWithinTheList) {
    std::vector<QString> many(60, QStringLiteral("song"));
    add(many);
    const int h = rowHeight();
    const auto wheel = [this](int delta) {
        QWheelEvent event({10, 10}, theList().mapToGlobal(QPointF(10, 10)), {}, {0, delta},
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&theList(), &event);
    };
    wheel(-240);
    EXPECT_EQ(theList().y(), -6 * h);
    EXPECT_GT(thumb().y(), 1);
    wheel(-120 * 100);
    EXPECT_EQ(theList().y() + 60 * h, list->height() - 1);
    EXPECT_EQ(thumb().y(), thumbBottom());
    wheel(120 * 100);
    EXPECT_EQ(theList().y(), 0);
    EXPECT_EQ(thumb().y(), 1);
}

TEST_F(CustomListBoxTest, TypedKeysReachTheHost) {
    std::vector<int> presses, ups;
    QObject::connect(list.get(), &CustomListBox::KeyPress,
                     [&](int ascii) { presses.push_back(ascii); });
    QObject::connect(list.get(), &CustomListBox::KeyUp,
                     [&](int code, int) { ups.push_back(code); });
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(&theList(), &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(&theList(), &release);
    EXPECT_EQ(presses, std::vector<int>({97}));
    EXPECT_EQ(ups, std::vector<int>({65}));
}

TEST_F(CustomListBoxTest, EverySetterNotifiesTheHostUnderThePropertyName) {
    QStringList notified;
    QObject::connect(list.get(), &CustomListBox::propertyChanged,
                     [&](const QString& name) { notified.append(name); });
    const QMetaObject* meta = list->metaObject();
    QStringList expected;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        property.write(list.get(), property.read(list.get()));
        expected.append(property.name());
    }
    EXPECT_EQ(notified, expected);
}

} // namespace
