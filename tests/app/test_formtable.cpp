// The factory that builds frames from tables: it refuses rows that do not
// fit together, and twips grow with the font.
#include "formtable.h"

#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace vorn {
namespace {

// A lone flag is an alignment, never a row span.
static_assert(cell(0, 0, 2, Qt::AlignRight).rowSpan == 1);
static_assert(cell(0, 0, 2, Qt::AlignRight).align == Qt::AlignRight);

TEST(FormTableTest, RowsThatDoNotFitTogetherAreRefused) {
    QLabel* label = nullptr;
    QComboBox* combo = nullptr;
    struct Case {
        const char* what;
        std::vector<Row> rows;
    };
    const std::vector<Case> cases = {
        {"buddy names no row",
         {{.kind = Kind::Label, .name = "lblA", .buddy = "txtMissing", .at = cell(0, 0, 0)}}},
        {"member of another type",
         {{.kind = Kind::LineEdit, .name = "txtA", .at = cell(0, 0, 0), .member = combo}}},
        {"no such layout", {{.kind = Kind::LineEdit, .name = "txtA", .at = cell(3, 0, 0)}}},
        {"grid row without a cell", {{.kind = Kind::LineEdit, .name = "txtA", .at = next(0)}}},
        {"buddy on a control that is no label",
         {{.kind = Kind::LineEdit, .name = "txtA", .buddy = "txtA", .at = cell(0, 0, 0)}}},
    };
    for (const Case& c : cases) {
        QWidget frame;
        frame.setObjectName(QStringLiteral("frmTest"));
        const Layout layouts[] = {{.type = Layout::Grid, .on = "frmTest"}};
        EXPECT_THROW(buildForm(&frame, layouts, c.rows), std::logic_error) << c.what;
    }

    QWidget frame;
    frame.setObjectName(QStringLiteral("frmTest"));
    const Layout layouts[] = {{.type = Layout::Grid, .on = "frmTest"}};
    const Row rows[] = {
        {.kind = Kind::Label,
         .name = "lblA",
         .caption = "A:",
         .buddy = "cmbA",
         .at = cell(0, 0, 0),
         .member = label},
        {.kind = Kind::TypedCombo, .name = "cmbA", .at = cell(0, 0, 1), .member = combo},
    };
    buildForm(&frame, layouts, rows);
    ASSERT_TRUE(label && combo);
    EXPECT_EQ(label->buddy(), combo);
    EXPECT_EQ(combo->parentWidget(), &frame);
}

TEST(FormTableTest, TwipsGrowWithTheFontAndNeverShrink) {
    const double before = twipScale();
    setTwipScale(1.0);
    EXPECT_EQ(twips(15, 30, 1500, 3000), QRect(1, 2, 100, 200));
    setTwipScale(1.5);
    EXPECT_EQ(twips(15, 30, 1500, 3000), QRect(2, 3, 150, 300));
    setTwipScale(before);

    QFont tiny;
    tiny.setPixelSize(4);
    EXPECT_EQ(fontScale(tiny), 1.0);
    QFont large;
    large.setPixelSize(40);
    EXPECT_GT(fontScale(large), 2.0);
}

// Rows placed below and beside the ones before them land on the grid rows a
// numbered table would give them, spans and stretches included.
TEST(FormTableTest, GridRowsWithoutNumbersFollowTheRowsBefore) {
    QWidget frame;
    frame.setObjectName(QStringLiteral("frmTest"));
    const Layout layouts[] = {{.type = Layout::Grid, .on = "frmTest"}};
    const Row rows[] = {
        {.kind = Kind::LineEdit, .name = "a", .at = below(0, 1, 3)},
        {.kind = Kind::Label, .name = "b", .at = beside(0, 0)},
        {.kind = Kind::LineEdit, .name = "c", .at = cell(0, 1, 0, 2, 1)},
        {.kind = Kind::LineEdit, .name = "d", .at = below(0, 0, 2, {}, 5)},
        {.kind = Kind::LineEdit, .name = "e", .at = beside(0, 2, Qt::AlignRight)},
        {.kind = Kind::Stretch, .at = below(0, 0, 1, {}, 2)},
        {.kind = Kind::LineEdit, .name = "f", .at = below(0, 0)},
    };
    const Form form = buildForm(&frame, layouts, rows);
    auto* grid = static_cast<QGridLayout*>(form.layouts.front());
    auto where = [&](const char* name) {
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(grid->indexOf(form[name]), &row, &column, &rowSpan, &columnSpan);
        return std::vector<int>{row, column, rowSpan, columnSpan};
    };
    EXPECT_EQ(where("a"), (std::vector<int>{0, 1, 1, 3}));
    EXPECT_EQ(where("b"), (std::vector<int>{0, 0, 1, 1}));
    // "c" spans rows 1 and 2, so the next row below is 3.
    EXPECT_EQ(where("d"), (std::vector<int>{3, 0, 1, 2}));
    EXPECT_EQ(where("e"), (std::vector<int>{3, 2, 1, 1}));
    EXPECT_EQ(grid->rowStretch(3), 5);
    EXPECT_EQ(grid->itemAtPosition(3, 2)->alignment(), Qt::AlignRight);
    // A stretch is an empty row of its own that takes the room left.
    EXPECT_EQ(grid->itemAtPosition(4, 0), nullptr);
    EXPECT_EQ(grid->rowStretch(4), 2);
    EXPECT_EQ(where("f"), (std::vector<int>{5, 0, 1, 1}));
}

// A frame whose rows need more room than its place grows, and moves the
// frames below it and the form with it; frames beside it stay.
TEST(FormTableTest, AFrameTallerThanItsPlaceMovesTheFramesBelow) {
    const double before = twipScale();
    setTwipScale(1.0);
    QWidget form;
    auto* top = new QWidget(&form);
    auto* beside = new QWidget(&form);
    auto* below = new QWidget(&form);
    auto* rows = new QVBoxLayout(top);
    rows->addWidget(new QLabel(QStringLiteral("one")));
    auto* tall = new QWidget;
    tall->setMinimumHeight(300);
    rows->addWidget(tall);
    const std::pair<QWidget*, QRect> frames[] = {
        {top, {0, 0, 1500, 1500}}, // 100 x 100 pixels, but its rows need more
        {beside, {1500, 0, 1500, 1500}},
        {below, {0, 1500, 3000, 1500}},
    };
    const QSize size = placeFrames(frames, 150);
    const int grown = top->minimumSizeHint().height() - 100;
    ASSERT_GT(grown, 0);
    EXPECT_EQ(top->geometry(), QRect(0, 0, 100, 100 + grown));
    EXPECT_EQ(beside->geometry(), QRect(100, 0, 100, 100));
    EXPECT_EQ(below->geometry(), QRect(0, 100 + grown, 200, 100));
    EXPECT_EQ(size, QSize(210, 210 + grown));

    // Rows that fit keep every frame exactly at its place.
    tall->setMinimumHeight(0);
    EXPECT_EQ(placeFrames(frames, 150), QSize(210, 210));
    EXPECT_EQ(below->geometry(), QRect(0, 100, 200, 100));
    setTwipScale(before);
}

} // namespace
} // namespace vorn
