#include "guisupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QPalette>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOptionButton>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "demoinstall.h"
#include "platform.h"

#ifdef _WIN32
#include <windows.h>
#endif

#ifndef _WIN32
#include <QProcess>
#include <unistd.h>
#endif

namespace vorn::test {

namespace {
std::string u8(const QString& s) {
    return s.toStdString();
}

// Read-only files and folders that a test made below `top` must not keep
// the demo from being removed.
void makeWritable(const std::filesystem::path& top) {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(top, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ec);
    fs::permissions(top, fs::perms::owner_write, fs::perm_options::add, ec);
}
} // namespace

int ScriptedSeam::messageBox(QWidget*, MsgIcon icon, MsgButtons buttons, const QString& title,
                             const QString& text) {
    boxes.push_back({icon, buttons, title, text});
    if (!answers.empty()) {
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    return buttons == MsgButtons::Ok ? kAnswerOk : kAnswerYes;
}

#ifdef _WIN32
namespace {
// On Windows the demo lies where the window looks for it by default, in the
// real drive C: (under Wine, the throw-away prefix's): a fresh one for each
// test, so the working files and the demo of the test before are removed.
void clearDriveC() {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const char* name :
         {"Sierra", "Games", "Program Files/HL", "vorntmp", "vorn.bat", "vorn.log", "vorn.err",
          "vorn_list.bat", "vorn_list.log", "vorn_master.log", "hang.pid"}) {
        const fs::path path = fs::path("C:/") / name;
        makeWritable(path);
        fs::remove_all(path, ec);
    }
    std::string temp;
    if (platform::userTempDir(temp).ok()) {
        for (const char* name : {"vorn.bat", "vorn.log", "vorn_master.log"})
            fs::remove(fs::u8path(temp) / name, ec);
    }
}
} // namespace
#endif

DemoInstall::DemoInstall() {
    EXPECT_TRUE(dir_.isValid());
#ifdef _WIN32
    clearDriveC();
    root_ = QStringLiteral("C:");
#else
    root_ = dir_.path();
    QDir().mkpath(root_ + QStringLiteral("/dosdevices"));
    QFile::link(QStringLiteral("../drive_c"), root_ + QStringLiteral("/dosdevices/c:"));
    hadPrefix_ = qEnvironmentVariableIsSet("WINEPREFIX");
    oldPrefix_ = qgetenv("WINEPREFIX");
    qputenv("WINEPREFIX", dir_.path().toLocal8Bit());
#endif
    std::string error;
    EXPECT_TRUE(demo::writeInstallation(std::filesystem::u8path(u8(game(QString()))),
                                        demo::programFolder(), error))
        << error;
}

DemoInstall::~DemoInstall() {
    restoreInterpreter();
#ifdef _WIN32
    clearDriveC();
#else
    makeWritable(std::filesystem::u8path(u8(drive(QString()))));
    if (hadPrefix_)
        qputenv("WINEPREFIX", oldPrefix_);
    else
        qunsetenv("WINEPREFIX");
#endif
}

QString DemoInstall::userTemp(const QString& name) {
    std::string dir, host;
    if (!platform::userTempDir(dir).ok() || !platform::hostPath(dir, host).ok())
        return {};
    return QString::fromStdString(host) + QStringLiteral("/") + name;
}

QString DemoInstall::drive(const QString& relative) const {
#ifdef _WIN32
    return root_ + QStringLiteral("/") + relative;
#else
    return root_ + QStringLiteral("/drive_c/") + relative;
#endif
}

QString DemoInstall::game(const QString& relative) const {
    return drive(QStringLiteral("Sierra/Half-Life/") + relative);
}

QByteArray DemoInstall::read(const QString& hostPath) {
    QFile f(hostPath);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void DemoInstall::write(const QString& hostPath, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(hostPath).absolutePath());
    QFile f(hostPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << hostPath.toStdString();
    f.write(bytes);
}

QString DemoInstall::replaceInterpreter(const QByteArray& scriptBody) {
#ifdef _WIN32
    ADD_FAILURE() << "Windows runs every outside command through cmd.exe";
    (void)scriptBody;
    return {};
#else
    const QString path = dir_.path() + QStringLiteral("/stand-in-interpreter.sh");
    write(path, QByteArrayLiteral("#!/bin/sh\n") + scriptBody);
    QFile::setPermissions(path,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!replacedInterpreter_) {
        hadInterpreter_ = qEnvironmentVariableIsSet("VORN_CMD");
        oldInterpreter_ = qgetenv("VORN_CMD");
        replacedInterpreter_ = true;
    }
    qputenv("VORN_CMD", path.toLocal8Bit());
    return path;
#endif
}

void DemoInstall::restoreInterpreter() {
    if (!replacedInterpreter_)
        return;
    if (hadInterpreter_)
        qputenv("VORN_CMD", oldInterpreter_);
    else
        qunsetenv("VORN_CMD");
    replacedInterpreter_ = false;
}

namespace {
// Whether the tests may put the demo into this machine's drive C:; `why`
// says why not. The demo and the working files lie in the root of drive
// C:, where a real game installation may be. Under Wine the prefix is a
// throw-away one; on a real Windows machine only when asked for.
bool mayUseDriveC([[maybe_unused]] std::string& why) {
#ifdef _WIN32
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const bool wine = ntdll && GetProcAddress(ntdll, "wine_get_version");
    if (wine || qgetenv("VORN_TEST_USE_DRIVE_C") == "1")
        return true;
    why = "the window tests replace C:\\Sierra\\Half-Life and the working files in C:\\; "
          "set VORN_TEST_USE_DRIVE_C=1 on a machine where that may be done";
    return false;
#else
    return true;
#endif
}
} // namespace

void WindowTest::SetUp() {
    if (std::string why; !mayUseDriveC(why))
        GTEST_SKIP() << why;
    demo = std::make_unique<DemoInstall>();
    if (autoLoad)
        openWindow();
}

bool renameCase(const QString& from, const QString& to) {
    const QString between = to + QStringLiteral(".renaming");
    return QDir().rename(from, between) && QDir().rename(between, to);
}

QStringList items(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

QStringList items(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void WindowTest::TearDown() {
#ifndef _WIN32
    for (const QString& path : immutable_)
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path});
#endif
    w.reset();
    demo.reset();
}

void WindowTest::openWindow(bool load) {
    w = makeVornwick(seam, load);
    w->show();
}

void WindowTest::chooseMod(const QString& mod) {
    pickCombo("cmbModList", mod);
}

namespace {

// A left click at a point of a widget, as the mouse gives it; with `twice`,
// a double click.
void mouseClick(QWidget* target, QPoint at, bool twice = false) {
    // A press gives the focus first, as the desktop does for a control that
    // takes it by click; the control it leaves sees it go.
    if ((target->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus && target->isEnabled()) {
        QApplication::setActiveWindow(target->window());
        target->setFocus(Qt::MouseFocusReason);
    }
    const QPointF local(at);
    const QPointF global(target->mapToGlobal(at));
    const auto send = [&](QEvent::Type type, Qt::MouseButtons held) {
        QMouseEvent event(type, local, global, Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    };
    QMouseEvent move(QEvent::MouseMove, local, global, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    if (twice) {
        send(QEvent::MouseButtonDblClick, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, Qt::NoButton);
    }
}

} // namespace

void WindowTest::pickCombo(const char* name, const QString& text) {
    auto* box = ctl<QComboBox>(name);
    const int i = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    ASSERT_GE(i, 0) << name << " has no item " << text.toStdString();
    ASSERT_TRUE(box->isEnabled()) << name << " is disabled";
    // The user clicks the box, which takes the focus and opens its list,
    // then clicks the item.
    QApplication::setActiveWindow(box->window());
    box->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    box->showPopup();
    QAbstractItemView* view = box->view();
    const QModelIndex index = box->model()->index(i, box->modelColumn(), box->rootModelIndex());
    view->scrollTo(index);
    mouseClick(view->viewport(), view->visualRect(index).center());
    if (view->isVisible()) {
        box->hidePopup();
        FAIL() << "a click on " << text.toStdString() << " did not close the list of " << name;
    }
    ASSERT_EQ(box->currentIndex(), i) << name;
    // The offscreen platform leaves the closed list the active window; on a
    // desktop the form is active again and the box keeps the focus.
    QApplication::processEvents();
    QApplication::setActiveWindow(box->window());
    box->setFocus(Qt::PopupFocusReason);
}

void WindowTest::setText(const char* name, const QString& text) {
    // As a user replaces a field's text: the field takes the focus, all of
    // its text is selected, and the new text is pasted over it (or the old
    // one deleted).
    auto* field = ctl<QWidget>(name);
    ASSERT_TRUE(qobject_cast<QComboBox*>(field) || qobject_cast<QLineEdit*>(field) ||
                qobject_cast<QPlainTextEdit*>(field))
        << name << " takes no text";
    ASSERT_TRUE(field->isVisible() && field->isEnabled()) << name << " cannot be typed into";
    focus(field);
    key(Qt::Key_A, {}, Qt::ControlModifier);
    if (text.isEmpty()) {
        key(Qt::Key_Delete);
    } else {
        QApplication::clipboard()->setText(text);
        key(Qt::Key_V, {}, Qt::ControlModifier);
    }
}

void WindowTest::click(const char* name) {
    auto* b = ctl<QAbstractButton>(name);
    ASSERT_TRUE(b->isEnabled()) << name << " is disabled";
    ASSERT_TRUE(b->isVisible()) << name << " is not on show";
    // A push button in its middle; a check box or option on its box, since
    // its row may be wider than what answers a click.
    QPoint at = b->rect().center();
    if (qobject_cast<QCheckBox*>(b) || qobject_cast<QRadioButton*>(b)) {
        QStyleOptionButton option;
        option.initFrom(b);
        const bool check = qobject_cast<QCheckBox*>(b) != nullptr;
        at = b->style()
                 ->subElementRect(check ? QStyle::SE_CheckBoxIndicator
                                        : QStyle::SE_RadioButtonIndicator,
                                  &option, b)
                 .center();
    }
    mouseClick(b, at);
}

void WindowTest::type(const QString& keys) {
    for (QChar c : keys) {
        QKeyEvent press(QEvent::KeyPress, c == '\r' ? Qt::Key_Return : 0, Qt::NoModifier,
                        QString(c));
        QApplication::sendEvent(QApplication::focusWidget(), &press);
    }
}

void WindowTest::key(int code, const QString& text, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
    QApplication::sendEvent(target, &release);
}

void WindowTest::focus(QWidget* widget) {
    QApplication::setActiveWindow(w.get());
    widget->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    ASSERT_TRUE(widget->hasFocus()) << widget->objectName().toStdString();
}

void WindowTest::clickListItem(const char* name, const QString& text, bool doubleClick) {
    auto* list = ctl<QListWidget>(name);
    auto items = list->findItems(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    ASSERT_FALSE(items.isEmpty()) << name << " has no item " << text.toStdString();
    ASSERT_TRUE(list->isVisible() && list->isEnabled()) << name << " cannot be clicked";
    list->scrollToItem(items.first());
    mouseClick(list->viewport(), list->visualItemRect(items.first()).center(), doubleClick);
    ASSERT_EQ(list->currentItem(), items.first()) << name;
}

void WindowTest::addMaps(const QStringList& maps) {
    for (const QString& map : maps) {
        clickListItem("lstMapList", map);
        click("cmdAddMap");
    }
}

void WindowTest::openStep(const char* option, const QString& mod) {
    chooseMod(mod);
    ctl<QAbstractButton>(option)->setEnabled(true);
    click(option);
}

QString WindowTest::status() const {
    // A text cut short to fit the line is whole on hover.
    const QString whole = ctl<QLabel>("lblStatus")->toolTip();
    return whole.isEmpty() ? ctl<QLabel>("lblStatus")->text() : whole;
}

bool WindowTest::statusFits() const {
    QLabel* label = ctl<QLabel>("lblStatus");
    label->parentWidget()->layout()->activate();
    const int needed = label->heightForWidth(label->contentsRect().width());
    EXPECT_LE(needed, label->contentsRect().height()) << label->text().toStdString();
    return needed <= label->contentsRect().height();
}

QList<QRadioButton*> WindowTest::stepButtons(bool shownOnly) const {
    QList<QRadioButton*> options;
    for (auto* option : ctl<QGroupBox>("frmControlCenter")->findChildren<QRadioButton*>())
        if (!shownOnly || !option->isHidden())
            options << option;
    return options;
}

QStringList WindowTest::stepOptions() const {
    QStringList names;
    for (auto* option : stepButtons())
        names << option->objectName();
    return names;
}

void WindowTest::confirmStep(const QString& option) {
    click(option.toLatin1().constData());
    if (option == QLatin1String("optCommandLine")) {
        auto* first = ctl<QComboBox>("cmbMapList1");
        ASSERT_GT(first->count(), 0) << "no maps to start with";
        pickCombo("cmbMapList1", first->itemText(0));
    } else if (option == QLatin1String("optMapFile")) {
        auto* maps = ctl<QListWidget>("lstMapList");
        ASSERT_GE(maps->count(), 5) << "fewer maps than a cycle of five";
        addMaps(items(maps).mid(0, 5));
    }
    // The step's Save: the one enabled button captioned so in the step's
    // frame or the viewer.
    for (auto* save : w->findChildren<QPushButton*>()) {
        if (save->text() == QLatin1String("Save") && save->isVisible() && save->isEnabled()) {
            click(save->objectName().toLatin1().constData());
            ASSERT_TRUE(confirmed(option.toLatin1().constData()))
                << option.toStdString() << " by " << save->objectName().toStdString();
            return;
        }
    }
    FAIL() << "no Save on show for " << option.toStdString();
}

void WindowTest::confirmStepsThrough(const char* last) {
    for (const QString& option : stepOptions()) {
        confirmStep(option);
        if (option == QLatin1String(last))
            return;
    }
}

void WindowTest::confirmAllSteps() {
    for (const QString& option : stepOptions())
        confirmStep(option);
}

QColor WindowTest::statusColour() const {
    return ctl<QLabel>("lblStatus")->palette().color(QPalette::WindowText);
}

QString WindowTest::viewer() const {
    return crlfText(ctl<QPlainTextEdit>("txtFileContents"));
}

bool WindowTest::confirmed(const char* option) const {
    return back(ctl<QWidget>(option)) == fromBgr(colour::LightGreen);
}

QByteArray WindowTest::gameFile(const QString& relative) const {
    return DemoInstall::read(demo->game(relative));
}

QColor WindowTest::back(const QWidget* option) {
    return option->palette().color(QPalette::Button);
}

void WindowTest::expectBox(std::size_t index, const QString& title, MsgIcon icon,
                           MsgButtons buttons) const {
    ASSERT_GT(seam.boxes.size(), index);
    EXPECT_EQ(seam.boxes[index].title, title);
    EXPECT_EQ(seam.boxes[index].icon, icon);
    EXPECT_EQ(seam.boxes[index].buttons, buttons);
}

void WindowTest::expectError(const QString& part) const {
    EXPECT_TRUE(status().startsWith(QStringLiteral("Error:"))) << status().toStdString();
    EXPECT_TRUE(status().contains(part)) << status().toStdString();
    EXPECT_EQ(statusColour(), fromBgr(colour::Red));
    EXPECT_TRUE(statusFits());
}

void WindowTest::expectSaveRefused(const QString& fileName) const {
    EXPECT_TRUE(status().startsWith(QStringLiteral("Error: could not save")))
        << status().toStdString();
    expectError(fileName);
}

QByteArray WindowTest::serverLog(int starts) const {
    const QString log = demo->game(QStringLiteral("server-standin.log"));
    waitUntil([&] { return DemoInstall::read(log).count("\r\n") >= starts; }, 15000);
    return DemoInstall::read(log);
}

bool WindowTest::makeUnreplaceable(const QString& hostPath) {
#ifdef _WIN32
    // A read-only file cannot be replaced on Windows, not even by an
    // administrator; a read-only folder still takes new files.
    return !QFileInfo(hostPath).isDir() && QFile::setPermissions(hostPath, QFileDevice::ReadOwner);
#else
    if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), hostPath}) == 0) {
        immutable_ << hostPath;
        return true;
    }
    if (geteuid() != 0) {
        QFile::setPermissions(QFileInfo(hostPath).absolutePath(),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        return true;
    }
    return false;
#endif
}

} // namespace vorn::test

// Every window test runs on the offscreen platform unless told otherwise.
int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
