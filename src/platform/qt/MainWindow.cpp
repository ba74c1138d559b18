#include "MainWindow.h"

#include "Accessibility.h"
#include "Artwork.h"
#include "ClickRelay.h"
#include "CreditsBox.h"
#include "IntervalTimer.h"
#include "MessageBoxReporter.h"
#include "PhraseLabel.h"
#include "PictureBox.h"
#include "QtServices.h"
#include "app/PictureHeader.h"
#include "common/ProgramInfo.h"
#include "phrases/Failure.h"

#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QFocusFrame>
#include <QFile>
#include <QGuiApplication>
#include <QImageIOPlugin>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPluginLoader>
#include <QScreen>
#include <QToolTip>

namespace {

QString qText(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

QRect qRect(layout::Rect r)
{
    return QRect(r.x, r.y, r.width, r.height);
}

// The reader refuses pictures above its allocation limit with a vague reason; say why.
void checkSize(const QSize &size)
{
    if (size.isValid())
        picture::checkSize(size.width(), size.height());
}

// Qt's reader loads, in turn, every image plugin that sorts before the one it needs. A
// photo is a JPEG as a rule: its plugin is asked straight away.
QImage readJpeg(QBuffer &buffer)
{
    static QPluginLoader loader(QStringLiteral("imageformats/qjpeg"));
    auto *plugin = qobject_cast<QImageIOPlugin *>(loader.instance());
    if (!plugin || !buffer.data().startsWith("\xFF\xD8\xFF"))
        return {};
    const std::unique_ptr<QImageIOHandler> handler(plugin->create(&buffer, "jpeg"));
    QImage photo;
    if (handler->canRead()) {
        checkSize(handler->option(QImageIOHandler::Size).toSize());
        handler->read(&photo);
    }
    buffer.seek(0);
    return photo;
}

QPixmap decodePhoto(const std::vector<unsigned char> &file)
{
    // The core's word on the header first, as on Windows: the reader's own size may come
    // only after chunks a file cut short never reaches.
    const picture::Header header = picture::readHeader(file.data(), file.size());
    picture::checkSize(header.width, header.height);
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(file.data()), qsizetype(file.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImage photo = readJpeg(buffer);
    if (photo.isNull()) {
        // Anything else, and the failures in the reader's own words.
        QImageReader reader(&buffer);
        checkSize(reader.size());
        photo = reader.read();
        if (photo.isNull())
            throw phrases::Failure(reader.errorString().toStdString());
    }
    return QPixmap::fromImage(std::move(photo));
}

QScreen *screenWithPointer()
{
    QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    return screen ? screen : QGuiApplication::primaryScreen();
}

} // namespace

// The dotted focus mark over the controls: every other pixel of its border inverted, as the
// platform's own focus rectangle, so it shows on the black frame as on the white balloon. A
// focus frame, so that the mouse and screen readers pass through it.
class FocusMark : public QFocusFrame
{
public:
    using QFocusFrame::QFocusFrame;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPolygon dots;
        const int right = width() - 1, bottom = height() - 1;
        const auto dot = [&](int x, int y) {
            if ((x + y) % 2 == 0)
                dots << QPoint(x, y);
        };
        for (int x = 0; x <= right; ++x)
            dot(x, 0), dot(x, bottom);
        for (int y = 1; y < bottom; ++y)
            dot(0, y), dot(right, y);
        QPainter painter(this);
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.drawPoints(dots);
    }
};

MainWindow::MainWindow(Environment environment, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    if (!environment.reporter) {
        ownReporter_ = std::make_unique<MessageBoxReporter>();
        ownReporter_->setOwner(this);
        environment.reporter = ownReporter_.get();
    }
    if (!environment.services) {
        ownServices_ = new QtServices(this);
        environment.services = ownServices_;
    }
    if (!environment.applicationFolder)
        environment.applicationFolder = [] { return std::filesystem::path(QCoreApplication::applicationDirPath().toStdU16String()); };

    accessibility::install();
    setObjectName(QStringLiteral("frmCiarlatronix"));
    setWindowTitle(QString());
    setWindowIcon(QIcon(artwork::picture(QStringLiteral("icon"))));
    setFixedSize(layout::WindowSize.width, layout::WindowSize.height);
    // The tips show while another program is active too, as on Windows.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    QFont dialogFont = font();
    dialogFont.setPointSizeF(layout::BaseFontPoints);
    setFont(dialogFont);
    setAccessibleName(QString::fromLatin1(program::Title));
    backdrop_ = artwork::picture(QStringLiteral("frame"));

    createControls();
    form_ = std::make_unique<frmCiarlatronix>(*this, std::move(environment));
    connectEvents();
    showFocus();

    if (const QScreen *screen = screenWithPointer()) {
        const QRect available = screen->availableGeometry();
        const layout::Point at = layout::centredTopLeft(
            {available.x(), available.y(), available.width(), available.height()}, layout::WindowSize);
        move(at.x, at.y);
    }
}

MainWindow::~MainWindow()
{
    // The controls let go of the focus as they go, after this window's own part has gone.
    disconnect(qApp, nullptr, this, nullptr);
}

// Qt stacks later siblings over earlier ones, so the controls are made from the bottom up.
void MainWindow::createControls()
{
    handPointer_ = artwork::handPointer();
    iconPointer_ = artwork::iconPointer();
    const auto dress = [&](QWidget *control, layout::Control id) {
        const layout::ControlLayout &entry = layout::of(id);
        control->setObjectName(QLatin1String(entry.name));
        control->setGeometry(qRect(entry.place));
        control->setCursor(pointer(entry.pointer));
        if (entry.tooltip)
            control->setToolTip(qText(layout::PhraseTooltip));
        accessibility::describe(control);
    };
    const auto makePicture = [&](layout::Control id) {
        auto *picture = new PictureBox(this);
        dress(picture, id);
        picture->setPicture(artwork::picture(QLatin1String(layout::of(id).artwork)));
        return picture;
    };

    Image1 = makePicture(layout::Control::Image1);
    imgFumetto = makePicture(layout::Control::imgFumetto);
    imgCazzaro = makePicture(layout::Control::imgCazzaro);
    imgClose = makePicture(layout::Control::imgClose);

    Label1 = new PhraseLabel(this);
    dress(Label1, layout::Control::Label1);
    Label1->setText(qText(layout::PhrasePlaceholder));

    Label2 = new QLabel(this);
    dress(Label2, layout::Control::Label2);

    Image2 = makePicture(layout::Control::Image2);

    Timer1 = new IntervalTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));

    txtCrediti = new CreditsBox(this);
    dress(txtCrediti, layout::Control::txtCrediti);
    txtCrediti->setText(qText(layout::CreditsPlaceholder));

    for (layout::Control id : focus::Ring)
        control(id)->setFocusPolicy(Qt::TabFocus);
    mark_ = new FocusMark(this);
}

void MainWindow::connectEvents()
{
    clicks_ = new ClickRelay(this, [this] { return photoSize(); });
    for (QWidget *control : {static_cast<QWidget *>(Image1), static_cast<QWidget *>(imgFumetto),
                             static_cast<QWidget *>(imgCazzaro), static_cast<QWidget *>(imgClose),
                             static_cast<QWidget *>(Label1), static_cast<QWidget *>(Label2),
                             static_cast<QWidget *>(Image2)})
        clicks_->watch(control);
    // Qt 6.8 lets a control one pixel wide or high take no mouse at all: a photo that thin is
    // found by the layout's rule from the window, which takes its clicks and shows its pointer.
    clicks_->watch(this);
    setMouseTracking(true);
    connect(clicks_, &ClickRelay::clicked, this, &MainWindow::onClicked);
    connect(Timer1, &IntervalTimer::timeout, this, &MainWindow::onTick);
    // Focus given from outside, as a screen reader's SetFocus does, moves the ring there too.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        for (layout::Control id : focus::Ring) {
            if (now == control(id) && id != keyboard_.focused()) {
                keyboard_.click(id);
                showFocus();
            }
        }
    });
}

void MainWindow::onClicked(layout::Control control)
{
    keyboard_.click(control);
    showFocus();
    form_->click(control);
}

bool MainWindow::focusNextPrevChild(bool next)
{
    follow(keyboard_.key(next ? focus::Key::Tab : focus::Key::BackTab));
    return true;
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    focus::Key key = focus::Key::Other;
    if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        if (event->key() == Qt::Key_Space)
            key = focus::Key::Space;
        else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            key = focus::Key::Enter;
    }
    const focus::Step step = keyboard_.key(key, event->isAutoRepeat());
    if (!step.handled)
        return QWidget::keyPressEvent(event);
    follow(step);
}

// A key's press runs as a click does, through the event table.
void MainWindow::follow(const focus::Step &step)
{
    showFocus();
    if (step.press != layout::Control::None)
        form_->click(step.press);
}

// Qt's focus goes where the ring's is, so that screen readers hear of it.
void MainWindow::showFocus()
{
    control(keyboard_.focused())->setFocus(Qt::OtherFocusReason);
    mark_->setGeometry(qRect(focus::markAround(keyboard_.focused())));
    mark_->setVisible(keyboard_.markShown());
}

QWidget *MainWindow::control(layout::Control id) const
{
    return findChild<QWidget *>(QLatin1String(layout::of(id).name), Qt::FindDirectChildrenOnly);
}

void MainWindow::onTick()
{
    form_->Timer1_Timer();
}

void MainWindow::setPhraseFontSize(float points)
{
    Label1->setPointSize(points);
}

void MainWindow::setPhraseText(const std::u16string &text)
{
    Label1->setText(qText(text));
}

std::u16string MainWindow::creditsText() const
{
    return txtCrediti->text().toStdU16String();
}

void MainWindow::setCreditsText(const std::u16string &text)
{
    txtCrediti->setText(qText(text));
}

void MainWindow::alignCreditsLeft()
{
    txtCrediti->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void MainWindow::setTimerEnabled(bool enabled)
{
    Timer1->setEnabled(enabled);
}

void MainWindow::setTimerInterval(int milliseconds)
{
    Timer1->setInterval(milliseconds);
}

void MainWindow::setPhoto(const std::vector<unsigned char> &file)
{
    imgCazzaro->setPicture(decodePhoto(file));
}

std::uintptr_t MainWindow::nativeHandle() const
{
    return std::uintptr_t(winId());
}

void MainWindow::unload()
{
    close();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    bool cancel = false;
    form_->Form_Unload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

layout::Size MainWindow::photoSize() const
{
    return {imgCazzaro->width(), imgCazzaro->height()};
}

QCursor MainWindow::pointer(layout::Pointer kind) const
{
    return kind == layout::Pointer::Hand ? handPointer_ : kind == layout::Pointer::Icon ? iconPointer_ : QCursor(Qt::ArrowCursor);
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (!childAt(at))
        setCursor(pointer(layout::pointerAt({at.x(), at.y()}, photoSize())));
    QWidget::mouseMoveEvent(event);
}

bool MainWindow::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        if (!childAt(help->pos())
            && layout::hitTest({help->pos().x(), help->pos().y()}, photoSize()) == layout::Control::imgCazzaro) {
            QToolTip::showText(help->globalPos(), imgCazzaro->toolTip(), this);
            return true;
        }
    }
    return QWidget::event(event);
}

void MainWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.drawPixmap(0, 0, backdrop_);
}
