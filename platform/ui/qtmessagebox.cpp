#include "platform/ui/qtmessagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QThread>

#include <array>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

using Button = QMessageBox::StandardButton;

constexpr std::array<std::pair<Button, int>, 7> kAnswers = {{
    {QMessageBox::Ok, IDOK},
    {QMessageBox::Cancel, IDCANCEL},
    {QMessageBox::Abort, IDABORT},
    {QMessageBox::Retry, IDRETRY},
    {QMessageBox::Ignore, IDIGNORE},
    {QMessageBox::Yes, IDYES},
    {QMessageBox::No, IDNO},
}};

// The buttons of a type, in their order on the box.
std::vector<Button> buttonsOf(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case MB_ABORTRETRYIGNORE:
        return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
    case MB_YESNOCANCEL:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case MB_YESNO:
        return {QMessageBox::Yes, QMessageBox::No};
    case MB_RETRYCANCEL:
        return {QMessageBox::Retry, QMessageBox::Cancel};
    default:
        return {QMessageBox::Ok};
    }
}

Button buttonFor(int answer)
{
    for (const auto& [button, id] : kAnswers) {
        if (id == answer)
            return button;
    }
    return QMessageBox::NoButton;
}

QMessageBox::Icon iconOf(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// Escape closes a box only where it has a way out: Cancel, or its only button.
Button escapeOf(UINT type)
{
    const std::vector<Button> buttons = buttonsOf(type);
    if (buttons.size() == 1)
        return buttons.front();
    for (const Button button : buttons) {
        if (button == QMessageBox::Cancel)
            return button;
    }
    return QMessageBox::NoButton;
}

int showOnThisThread(const CString& text, const CString& caption, UINT type)
{
    QMessageBox box(QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow());
    kestrun::SetUpMessageBox(box, text, caption, type);
    box.exec();
    return kestrun::MessageBoxAnswer(type, box.standardButton(box.clickedButton()));
}

bool onMainThread() { return QThread::currentThread() == QCoreApplication::instance()->thread(); }

} // namespace

namespace kestrun {

void SetUpMessageBox(QMessageBox& box, const CString& text, const CString& caption, UINT type)
{
    box.setText(QString::fromUtf8(text.GetString(), text.GetLength()));
    box.setWindowTitle(QString::fromUtf8(caption.GetString(), caption.GetLength()));
    box.setIcon(iconOf(type));
    QMessageBox::StandardButtons buttons;
    for (const Button button : buttonsOf(type))
        buttons |= button;
    box.setStandardButtons(buttons);
    box.setDefaultButton(buttonFor(DefaultAnswer(type)));
    if (const Button escape = escapeOf(type); escape != QMessageBox::NoButton)
        box.setEscapeButton(escape);
    if (type & (MB_SYSTEMMODAL | MB_TOPMOST))
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
}

int MessageBoxAnswer(UINT type, int standardButton)
{
    for (const auto& [button, id] : kAnswers) {
        if (button == standardButton)
            return id;
    }
    // Closed without a button: the way out that Escape takes.
    const Button escape = escapeOf(type);
    return escape != QMessageBox::NoButton ? MessageBoxAnswer(type, escape) : DefaultAnswer(type);
}

} // namespace kestrun

int CQtMessageBoxPresenter::Show(const CString& text, const CString& caption, UINT type)
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        std::fprintf(stderr, "[%s] %s\n", caption.GetString(), text.GetString());
        return kestrun::DefaultAnswer(type);
    }
    if (onMainThread())
        return showOnThisThread(text, caption, type);
    int answer = kestrun::DefaultAnswer(type);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { answer = showOnThisThread(text, caption, type); },
        Qt::BlockingQueuedConnection);
    return answer;
}

void CQtMessageBoxPresenter::Beep(UINT)
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
        return;
    if (onMainThread())
        QApplication::beep();
    else
        QMetaObject::invokeMethod(QCoreApplication::instance(), [] { QApplication::beep(); }, Qt::QueuedConnection);
}
