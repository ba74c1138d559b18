#include "Accessibility.h"

#include "ClickRelay.h"
#include "CreditsBox.h"
#include "PhraseLabel.h"
#include "ui/Accessible.h"
#include "ui/Layout.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QLabel>
#include <QLibraryInfo>
#include <QVersionNumber>
#include <QTimer>

namespace accessibility {
namespace {

const accessible::ControlDescription *entryOf(const QWidget *control)
{
    for (const layout::ControlLayout &entry : layout::Controls)
        if (control->objectName() == QLatin1String(entry.name))
            return accessible::of(entry.id);
    return nullptr;
}

bool pressable(const QWidget *control)
{
    const accessible::ControlDescription *entry = entryOf(control);
    return entry && entry->pressable;
}

// A picture or label of the window. What it is and does is read when asked, not when the
// interface is made: Qt makes and keeps one as soon as a control is born, before it is dressed.
class ControlAccessible : public QAccessibleWidget
{
public:
    using QAccessibleWidget::QAccessibleWidget;

    QAccessible::Role role() const override
    {
        const accessible::ControlDescription *entry = entryOf(widget());
        if (!entry)
            return qobject_cast<const QLabel *>(widget()) ? QAccessible::StaticText : QAccessible::Graphic;
        switch (entry->role) {
        case accessible::Role::PushButton: return QAccessible::Button;
        case accessible::Role::Link: return QAccessible::Link;
        case accessible::Role::Graphic: return QAccessible::Graphic;
        case accessible::Role::ReadOnlyText: break;
        }
        return QAccessible::StaticText;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (pressable(widget()))
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString &action) override
    {
        if (action != pressAction() || !pressable(widget()))
            return QAccessibleWidget::doAction(action);
        const layout::Control control = entryOf(widget())->id;
        auto *relay = widget()->window()->findChild<ClickRelay *>(QString(), Qt::FindDirectChildrenOnly);
        if (!relay)
            return;
        // Later, not inside the screen reader's call: a click may close the window or
        // show a message box, and the reader waits for its answer.
        QTimer::singleShot(0, relay, [relay, control] { emit relay->clicked(control); });
    }

    QStringList keyBindingsForAction(const QString &) const override { return {}; }
};

// A control whose text is read: the phrase, as it is shown, as the name when none is
// given and as the text; the credits box, its scrolling text.
class TextAccessible : public ControlAccessible, public QAccessibleTextInterface
{
public:
    TextAccessible(QWidget *control, QString (*read)(const QWidget *))
        : ControlAccessible(control), read_(read)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return ControlAccessible::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        if ((t == QAccessible::Name && widget()->accessibleName().isEmpty()) || t == QAccessible::Value)
            return phrase();
        return ControlAccessible::text(t);
    }

    QString text(int startOffset, int endOffset) const override
    {
        return phrase().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(phrase().size()); }

    void selection(int, int *startOffset, int *endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = offset;
        return {};
    }

    static QString phraseText(const QWidget *label) { return spokenText(static_cast<const QLabel *>(label)->text()); }
    static QString creditsText(const QWidget *box) { return static_cast<const CreditsBox *>(box)->text(); }

private:
    QString phrase() const { return read_(widget()); }

    QString (*read_)(const QWidget *);
};

bool ofTheWindow(const QObject *object)
{
    return object->parent() && object->parent()->inherits("MainWindow");
}

QAccessibleInterface *factory(const QString &key, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *control = static_cast<QWidget *>(object);
    // A reader looks for a top-level window as a frame; a plain widget would be a filler.
    if (key == QLatin1String("MainWindow"))
        return new QAccessibleWidget(control, QAccessible::Window);
    if (key == QLatin1String("PhraseLabel"))
        return new TextAccessible(control, TextAccessible::phraseText);
    if (key == QLatin1String("CreditsBox"))
        return new TextAccessible(control, TextAccessible::creditsText);
    if (key == QLatin1String("PictureBox") || (key == QLatin1String("QLabel") && ofTheWindow(object)))
        return new ControlAccessible(control);
    return nullptr;
}

} // namespace

void install()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

void describe(QWidget *control)
{
    const accessible::ControlDescription *entry = entryOf(control);
    if (!entry)
        return;
    control->setAccessibleName(QString::fromUtf8(entry->name));
    control->setAccessibleDescription(QString::fromUtf8(entry->description));
}

void nameChanged(QWidget *control, bool textChanged)
{
    // A label's new text is a name change that Qt sends itself; Qt 6.4 sends it with the
    // object where the name should be, and Orca speaks nothing, while Qt 6.8 gives the name,
    // which a second change would make Orca say twice. The same text again sends none at all.
    // This is the change with the name, on the connection Qt's own bridge made.
    static const bool toolkitGivesName = QLibraryInfo::version() >= QVersionNumber(6, 8);
    if (textChanged && toolkitGivesName)
        return;
    const QDBusConnection bridge(QStringLiteral("a11y"));
    QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(control);
    if (!reader || !bridge.isConnected())
        return;
    QDBusMessage change = QDBusMessage::createSignal(
        QStringLiteral("/org/a11y/atspi/accessible/%1").arg(QAccessible::uniqueId(reader)),
        QStringLiteral("org.a11y.atspi.Event.Object"), QStringLiteral("PropertyChange"));
    change << QStringLiteral("accessible-name") << 0 << 0 << QVariant::fromValue(QDBusVariant(reader->text(QAccessible::Name)))
           << QVariantMap();
    bridge.send(change);
}

QString spokenText(const QString &labelText)
{
    return QString::fromStdU16String(accessible::spokenText(labelText.toStdU16String()));
}

} // namespace accessibility
