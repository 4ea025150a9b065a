#include "formtable.h"

#include "controls.h"

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetricsF>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cmath>
#include <map>

namespace vorn {

namespace {

// How much the form grows with the desktop font: set once per window from
// its font, read wherever twips become pixels.
double gTwipScale = 1.0;

[[noreturn]] void refuse(const char* what, std::string_view name) {
    throw std::logic_error(std::string("form table: ") + what + ": " + std::string(name));
}

QString text(const char* s) {
    return s ? QString::fromUtf8(s) : QString();
}

QFrame* makeShape(QWidget* parent, QFrame::Shape shape, QFrame::Shadow shadow) {
    auto* frame = new QFrame(parent);
    frame->setFrameShape(shape);
    frame->setFrameShadow(shadow);
    return frame;
}

// The control of a row, named, with its caption and tooltip.
QWidget* makeControl(QWidget* parent, const Row& row) {
    const QString caption = text(row.caption);
    const QString tip = text(row.tip);
    QWidget* made = nullptr;
    switch (row.kind) {
    case Kind::Label:
        return makeLabel(parent, row.name, caption);
    case Kind::LineEdit:
        return makeLineEdit(parent, row.name, caption, tip);
    case Kind::TypedCombo:
        return makeTypedCombo(parent, row.name, tip);
    case Kind::CheckBox:
        return makeCheckBox(parent, row.name, caption, row.checked, tip);
    case Kind::Button:
        return makeButton(parent, row.name, caption, tip);
    case Kind::Combo:
        made = new QComboBox(parent);
        break;
    case Kind::Option:
        made = new QRadioButton(caption, parent);
        break;
    case Kind::Text: {
        QPlainTextEdit* edit = row.make ? row.make() : new QPlainTextEdit;
        edit->setParent(parent);
        if (!caption.isEmpty())
            edit->setPlainText(caption);
        made = edit;
        break;
    }
    case Kind::List:
        made = new QListWidget(parent);
        break;
    case Kind::SubFrame:
        made = new QGroupBox(caption, parent);
        break;
    case Kind::Box:
        made = makeShape(parent, QFrame::Box, QFrame::Plain);
        break;
    case Kind::Line:
        made = makeShape(parent, QFrame::HLine, QFrame::Sunken);
        break;
    case Kind::Nested:
    case Kind::Stretch:
        return nullptr;
    }
    made->setObjectName(QString::fromLatin1(row.name));
    if (!tip.isEmpty())
        made->setToolTip(tip);
    return made;
}

bool takesFocus(Kind kind) {
    switch (kind) {
    case Kind::Label:
    case Kind::SubFrame:
    case Kind::Box:
    case Kind::Line:
    case Kind::Nested:
    case Kind::Stretch:
        return false;
    default:
        return true;
    }
}

QLayout* makeLayout(const Layout& shape, QWidget* on) {
    QLayout* layout = nullptr;
    if (shape.type == Layout::Grid) {
        auto* grid = new QGridLayout(on);
        grid->setHorizontalSpacing(shape.hSpacing);
        grid->setVerticalSpacing(shape.vSpacing);
        for (auto [row, stretch] : shape.rowStretch)
            grid->setRowStretch(row, stretch);
        for (auto [column, stretch] : shape.columnStretch)
            grid->setColumnStretch(column, stretch);
        layout = grid;
    } else {
        auto* box = shape.type == Layout::Column ? static_cast<QBoxLayout*>(new QVBoxLayout(on))
                                                 : new QHBoxLayout(on);
        box->setSpacing(shape.spacing);
        layout = box;
    }
    if (shape.margins != QMargins(-1, -1, -1, -1))
        layout->setContentsMargins(shape.margins);
    return layout;
}

} // namespace

// ---- twips

double fontScale(const QFont& font) {
    // The average width of the letters a-z and A-Z, as the old form system
    // measured a font, for the default desktop font (9 points) at 96 dpi:
    // the size the form's twip positions were laid out for.
    constexpr double kDefaultAverageCharWidth = 7.4;
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    const double width = QFontMetricsF(font).horizontalAdvance(letters) / letters.size();
    // The form grows with larger fonts and never shrinks below its size.
    return std::max(1.0, width / kDefaultAverageCharWidth);
}

double twipScale() {
    return gTwipScale;
}

void setTwipScale(double scale) {
    gTwipScale = scale;
}

QRect twips(int left, int top, int width, int height) {
    // 15 twips are one pixel at 96 dpi, times the font's growth.
    auto px = [](int t) { return int(std::lround(t * gTwipScale / 15.0)); };
    return QRect(px(left), px(top), px(width), px(height));
}

QGroupBox* makeFrame(QWidget* formArea, const char* name, const char* caption, QRect twipRect) {
    auto* frame = new QGroupBox(text(caption), formArea);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setGeometry(twips(twipRect.x(), twipRect.y(), twipRect.width(), twipRect.height()));
    return frame;
}

QSize placeFrames(std::span<const std::pair<QWidget*, QRect>> frames, int margin) {
    // The rows' height at the current font, never less than the place.
    auto height = [](QWidget* frame, const QRect& place) {
        return std::max(place.height(), frame->minimumSizeHint().height());
    };
    // How much each band grows (by its top in twips), then how far each
    // band moves down: by what the bands above it grew.
    std::map<int, int> growth;
    for (const auto& [frame, place] : frames) {
        const QRect px = twips(place.x(), place.y(), place.width(), place.height());
        int& grown = growth[place.y()];
        grown = std::max(grown, height(frame, px) - px.height());
    }
    std::map<int, int> moved;
    int total = 0;
    for (const auto& [top, grown] : growth) {
        moved[top] = total;
        total += grown;
    }
    int right = 0;
    int bottom = 0;
    for (const auto& [frame, place] : frames) {
        const QRect px = twips(place.x(), place.y(), place.width(), place.height());
        frame->setGeometry(px.x(), px.y() + moved[place.y()], px.width(), height(frame, px));
        right = std::max(right, place.x() + place.width());
        bottom = std::max(bottom, place.y() + place.height());
    }
    return twips(0, 0, right + margin, bottom + margin).size() + QSize(0, total);
}

// ---- the factory

QWidget* Form::operator[](std::string_view name) const {
    for (const Made& m : made)
        if (m.name == name)
            return m.widget;
    refuse("no row named", name);
}

namespace {

// Builds one form: the rows' controls, then the layouts, then the places.
class FormBuilder {
  public:
    FormBuilder(QWidget* frame, std::span<const Layout> layouts, std::span<const Row> rows)
        : frame_(frame), specs_(layouts), rows_(rows) {}

    QWidget* owner(int layout, int depth = 0) const {
        if (layout < 0 || layout >= int(specs_.size()) || depth > int(specs_.size()))
            refuse("no such layout", std::to_string(layout));
        if (const char* on = specs_[layout].on)
            return frame_->objectName() == QLatin1String(on) ? frame_ : form_[on];
        for (const Row& row : rows_)
            if (row.kind == Kind::Nested && row.nested == layout)
                return owner(row.at.layout, depth + 1);
        refuse("layout placed nowhere", std::to_string(layout));
    }

    void makeControls(std::vector<QWidget*>& made) {
        for (const Row& row : rows_) {
            QWidget* control = nullptr;
            if (row.kind != Kind::Nested && row.kind != Kind::Stretch) {
                control = makeControl(owner(row.at.layout), row);
                if (row.access)
                    control->setAccessibleName(text(row.access));
                if (row.description)
                    control->setAccessibleDescription(text(row.description));
                row.member.bind(control, row.name);
                const int tab = row.tab ? row.tab : takesFocus(row.kind) ? 0 : -1;
                form_.made.push_back({row.name, control, tab});
            }
            made.push_back(control);
        }
    }

    void place(const Row& row, QWidget* control) {
        QLayout* layout = form_.layouts.at(std::size_t(row.at.layout));
        const Place& at = row.at;
        QLayout* nested =
            row.kind == Kind::Nested ? form_.layouts.at(std::size_t(row.nested)) : nullptr;
        if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
            if (at.row == -1 || (row.kind == Kind::Stretch && at.row != kRowBelow))
                refuse("a grid row needs a cell", row.name ? row.name : "");
            // Rows placed below or beside the last one go by the grid's rows
            // so far, so that a row added never renumbers the rows after it.
            int& last = lastRow_.try_emplace(grid, -1).first->second;
            const int r = at.row == kRowBelow ? last + 1 : at.row == kRowBeside ? last : at.row;
            last = std::max(last, r + at.rowSpan - 1);
            if (at.stretch > 0)
                grid->setRowStretch(r, at.stretch);
            // A stretch below the rows so far is an empty row that takes the
            // room left.
            if (row.kind == Kind::Stretch)
                return;
            // A single cell goes in through Qt's overload for one cell.
            const bool single = at.rowSpan == 1 && at.columnSpan == 1;
            if (nested && single)
                grid->addLayout(nested, r, at.column, at.align);
            else if (nested)
                grid->addLayout(nested, r, at.column, at.rowSpan, at.columnSpan, at.align);
            else if (single)
                grid->addWidget(control, r, at.column, at.align);
            else
                grid->addWidget(control, r, at.column, at.rowSpan, at.columnSpan, at.align);
            return;
        }
        auto* box = static_cast<QBoxLayout*>(layout);
        if (at.row != -1)
            refuse("a box row has no cell", row.name ? row.name : "");
        const int index = at.before ? box->indexOf(form_[at.before]) : -1;
        if (at.before && index < 0)
            refuse("not in that box", at.before);
        if (nested)
            box->insertLayout(index, nested, at.stretch);
        else if (row.kind == Kind::Stretch)
            box->insertStretch(index, at.stretch);
        else
            box->insertWidget(index, control, at.stretch, at.align);
    }

    Form build() {
        std::vector<QWidget*> made;
        makeControls(made);
        for (std::size_t i = 0; i < specs_.size(); ++i)
            form_.layouts.push_back(makeLayout(specs_[i], specs_[i].on ? owner(int(i)) : nullptr));
        for (std::size_t i = 0; i < rows_.size(); ++i)
            place(rows_[i], made[i]);
        for (std::size_t i = 0; i < rows_.size(); ++i)
            if (rows_[i].buddy)
                static_cast<QLabel*>(made[i])->setBuddy(form_[rows_[i].buddy]);
        return std::move(form_);
    }

  private:
    QWidget* frame_;
    std::span<const Layout> specs_;
    std::span<const Row> rows_;
    Form form_;
    // The last row used in each grid so far (-1 before the first).
    std::map<QGridLayout*, int> lastRow_;
};

} // namespace

Form buildForm(QWidget* frame, std::span<const Layout> layouts, std::span<const Row> rows) {
    for (const Row& row : rows)
        if (row.buddy && row.kind != Kind::Label)
            refuse("only a label has a buddy", row.name);
    return FormBuilder(frame, layouts, rows).build();
}

void orderTabs(std::initializer_list<const Form*> forms) {
    std::vector<Form::Made> chain;
    for (const Form* form : forms)
        chain.insert(chain.end(), form->made.begin(), form->made.end());
    const bool numbered =
        std::any_of(chain.begin(), chain.end(), [](const Form::Made& m) { return m.tab > 0; });
    std::erase_if(chain, [&](const Form::Made& m) { return numbered ? m.tab <= 0 : m.tab != 0; });
    std::stable_sort(chain.begin(), chain.end(),
                     [](const Form::Made& a, const Form::Made& b) { return a.tab < b.tab; });
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1].widget, chain[i].widget);
}

void buildMenuBar(QMenuBar* bar, std::initializer_list<MenuRow> rows) {
    for (const MenuRow& row : rows) {
        row.member = bar->addAction(text(row.caption));
        row.member->setObjectName(QString::fromLatin1(row.name));
    }
}

} // namespace vorn
