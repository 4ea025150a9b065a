// The factory that builds frames from tables: it refuses rows that do not
// fit together, and twips grow with the font.
#include "formtable.h"

#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
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

} // namespace
} // namespace vorn
