#include "frmCiarlatronix.h"

#include "common/ErrorTrap.h"
#include "common/MessageBoxReporter.h"
#include "common/ProgramInfo.h"
#include "phrases/Failure.h"
#include "phrases/PhraseFile.h"
#include "phrases/PhraseText.h"
#include "phrases/RandomSource.h"
#include "services/PlatformServices.h"
#include "services/modFunzioni.h"
#include "ui/Artwork.h"
#include "ui/ClickRelay.h"
#include "ui/CreditsText.h"
#include "ui/IntervalTimer.h"
#include "ui/Layout.h"
#include "ui/PhraseLabel.h"
#include "ui/PictureBox.h"
#include "ui/Placement.h"
#include "ui/Ticker.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>

#include <filesystem>

namespace {

const QString PhraseTooltip = QStringLiteral("Clicca qui per una nuova cazzata !");

std::filesystem::path toFileSystemPath(const QString &path)
{
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// The line's bytes become the phrase: decoded, each "/n" turned into CR LF.
QString phraseFromLine(const std::string &bytes)
{
    QString text(qsizetype(bytes.size()), Qt::Uninitialized);
    const auto length = phrases::decodeLine(reinterpret_cast<const unsigned char *>(bytes.data()),
                                            bytes.size(), reinterpret_cast<char16_t *>(text.data()));
    text.truncate(qsizetype(length));
    phrases::expandLineBreaks(reinterpret_cast<char16_t *>(text.data()), std::size_t(text.size()));
    return text;
}

QPixmap loadPhoto(const QString &path)
{
    QImageReader reader(path);
    // The reader refuses pictures above its allocation limit with a vague reason; say why.
    const QSize size = reader.size();
    const qint64 bytes = qint64(size.width()) * size.height() * 4;
    if (size.isValid() && bytes > qint64(QImageReader::allocationLimit()) * 1024 * 1024)
        throw phrases::Failure(QStringLiteral("Picture too large: %1 x %2 pixels")
                                   .arg(size.width())
                                   .arg(size.height())
                                   .toStdString());
    QImage photo = reader.read();
    if (photo.isNull())
        throw phrases::Failure(reader.errorString().toStdString());
    return QPixmap::fromImage(std::move(photo));
}

void describe(QWidget *control, const char *name, const char *description)
{
    control->setAccessibleName(QString::fromUtf8(name));
    control->setAccessibleDescription(QString::fromUtf8(description));
}

} // namespace

frmCiarlatronix::frmCiarlatronix(Environment environment, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), environment_(std::move(environment))
{
    if (!environment_.reporter) {
        ownReporter_ = std::make_unique<MessageBoxReporter>();
        ownReporter_->setOwner(this);
        environment_.reporter = ownReporter_.get();
    }
    if (!environment_.random) {
        ownRandom_ = std::make_unique<phrases::ClockSeededRandom>();
        environment_.random = ownRandom_.get();
    }
    if (!environment_.services) {
        ownServices_ = new PlatformServices(this);
        environment_.services = ownServices_;
    }
    if (!environment_.applicationFolder)
        environment_.applicationFolder = [] { return QCoreApplication::applicationDirPath(); };

    setObjectName(QStringLiteral("frmCiarlatronix"));
    setWindowTitle(QString());
    setWindowIcon(QIcon(artwork::picture(QStringLiteral("icon"))));
    setFixedSize(layout::WindowSize);
    QFont dialogFont = font();
    dialogFont.setPointSizeF(layout::BaseFontPoints);
    setFont(dialogFont);
    setAccessibleName(QString::fromLatin1(program::Title));
    backdrop_ = artwork::picture(QStringLiteral("frame"));

    createControls();
    connectEvents();

    const QScreen *screen = placement::screenWithPointer();
    if (screen)
        move(placement::centredTopLeft(screen->availableGeometry(), size()));
}

frmCiarlatronix::~frmCiarlatronix() = default;

// Qt stacks later siblings over earlier ones, so the controls are made from the bottom up.
void frmCiarlatronix::createControls()
{
    const QCursor hand = artwork::handPointer();
    const QCursor icon = artwork::iconPointer();
    const auto makePicture = [this](const char *name, const QRect &place, const char *art) {
        auto *picture = new PictureBox(this);
        picture->setObjectName(QLatin1String(name));
        picture->move(place.topLeft());
        picture->setPicture(artwork::picture(QLatin1String(art)));
        return picture;
    };

    Image1 = makePicture("Image1", layout::Image1, "logo");
    Image1->setCursor(Qt::ArrowCursor);
    describe(Image1, "Logo: Lo Ciarlatronix !", "Decorazione");

    imgFumetto = makePicture("imgFumetto", layout::imgFumetto, "fumetto");
    imgFumetto->setCursor(icon);
    imgFumetto->setToolTip(PhraseTooltip);
    describe(imgFumetto, "Fumetto", "Clicca per una nuova cazzata");

    imgCazzaro = makePicture("imgCazzaro", layout::imgCazzaro, "faccia");
    imgCazzaro->setCursor(icon);
    imgCazzaro->setToolTip(PhraseTooltip);
    describe(imgCazzaro, "Foto del cazzaro", "Clicca per una nuova cazzata");

    imgClose = makePicture("imgClose", layout::imgClose, "close");
    imgClose->setCursor(hand);
    describe(imgClose, "Chiudi", "Chiude il programma");

    Label1 = new PhraseLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(layout::Label1);
    Label1->setText(QStringLiteral("Label1"));
    Label1->setCursor(icon);
    Label1->setToolTip(PhraseTooltip);
    describe(Label1, "Cazzata", "La cazzata del momento: clicca per averne una nuova");

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(layout::Label2);
    Label2->setCursor(hand);
    describe(Label2, "Credits", "Fa scorrere i riconoscimenti");

    Image2 = makePicture("Image2", layout::Image2, "link");
    Image2->setCursor(hand);
    describe(Image2, "Homepage", "Apre la homepage del programma nel browser");

    Timer1 = new IntervalTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));

    txtCrediti = new QLineEdit(this);
    txtCrediti->setObjectName(QStringLiteral("txtCrediti"));
    txtCrediti->setGeometry(layout::txtCrediti);
    txtCrediti->setFrame(false);
    txtCrediti->setTextMargins(0, 0, 0, 0);
    txtCrediti->setReadOnly(true);
    txtCrediti->setEnabled(false);
    txtCrediti->setFocusPolicy(Qt::NoFocus);
    // Clicks and the pointer belong to what lies beneath: Label2 over the word "Credits".
    txtCrediti->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette boxColours = txtCrediti->palette();
    boxColours.setColor(QPalette::Disabled, QPalette::Base, boxColours.color(QPalette::Active, QPalette::Base));
    txtCrediti->setPalette(boxColours);
    txtCrediti->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    txtCrediti->setText(QStringLiteral("Credits"));
    describe(txtCrediti, "Riconoscimenti", "La casella in cui scorrono i riconoscimenti");
}

// The event table: which routine each control event runs.
void frmCiarlatronix::connectEvents()
{
    connect(ClickRelay::attach(imgCazzaro), &ClickRelay::clicked, this, &frmCiarlatronix::imgCazzaro_Click);
    connect(ClickRelay::attach(imgFumetto), &ClickRelay::clicked, this, &frmCiarlatronix::imgFumetto_Click);
    connect(ClickRelay::attach(Label1), &ClickRelay::clicked, this, &frmCiarlatronix::Label1_Click);
    connect(ClickRelay::attach(imgClose), &ClickRelay::clicked, this, &frmCiarlatronix::imgClose_Click);
    connect(ClickRelay::attach(Image2), &ClickRelay::clicked, this, &frmCiarlatronix::Image2_Click);
    connect(ClickRelay::attach(Label2), &ClickRelay::clicked, this, &frmCiarlatronix::Label2_Click);
    connect(Timer1, &IntervalTimer::timeout, this, &frmCiarlatronix::Timer1_Timer);
}

QString frmCiarlatronix::applicationFile(const char *name) const
{
    return environment_.applicationFolder() + QLatin1Char('/') + QLatin1String(name);
}

void frmCiarlatronix::Form_Load()
{
    ErrorTrap trap(reporter(), "Form_Load", ErrorTrap::Kind::Routine);
    trap.run([&] {
        modFunzioni::API_PlaySound(applicationFile("audio.wav"), *environment_.services, reporter());
    });
    trap.run([&] { ContaRighe(); });
    trap.run([&] { Label1_Click(); });
    trap.run([&] { imgCazzaro->setPicture(loadPhoto(applicationFile("foto.jpg"))); });
}

void frmCiarlatronix::Form_Unload(bool &cancel)
{
    Q_UNUSED(cancel)
}

void frmCiarlatronix::closeEvent(QCloseEvent *event)
{
    bool cancel = false;
    Form_Unload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

void frmCiarlatronix::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.drawPixmap(0, 0, backdrop_);
}

void frmCiarlatronix::Image2_Click()
{
    ErrorTrap trap(reporter(), "Image2_Click", ErrorTrap::Kind::Routine);
    trap.run([&] { environment_.services->openAddress(QLatin1String(program::HomePage), winId()); });
}

void frmCiarlatronix::imgCazzaro_Click()
{
    Cambia();
}

void frmCiarlatronix::imgClose_Click()
{
    close();
}

void frmCiarlatronix::ContaRighe()
{
    ErrorTrap trap(reporter(), "ContaRighe", ErrorTrap::Kind::Routine);
    phrases::PhraseFile file;
    trap.run([&] {
        pubNumeroRighe = 0;
        file.open(toFileSystemPath(applicationFile("cazzate.txt")));
        file.countLines(pubNumeroRighe, environment_.lineLimit);
    });
    file.close();
}

std::int32_t frmCiarlatronix::Casuale(const std::int32_t &upperBound)
{
    ErrorTrap trap(reporter(), "Casuale", ErrorTrap::Kind::Function);
    std::int32_t drawn = 0;
    trap.run([&] { environment_.random->reseed(); });
    trap.run([&] { drawn = phrases::drawWholeNumber(upperBound, environment_.random->next()); });
    return drawn;
}

void frmCiarlatronix::Cambia()
{
    ErrorTrap trap(reporter(), "Cambia", ErrorTrap::Kind::Function);
    QString phrase;
    std::int32_t length = 0;
    trap.run([&] { phrase = EstraiRiga(); });
    trap.run([&] {
        phrase.truncate(qsizetype(phrases::cutLength(reinterpret_cast<const char16_t *>(phrase.utf16()),
                                                     std::size_t(phrase.size()))));
        // A huge line must not stay behind in the label's copy of the phrase.
        phrase.squeeze();
    });
    trap.run([&] { length = std::int32_t(phrase.size()); });
    trap.run([&] { Label1->setPointSize(phrases::fontSizeFor(length)); });
    trap.run([&] { Label1->setText(phrase); });
}

void frmCiarlatronix::imgFumetto_Click()
{
    Cambia();
}

void frmCiarlatronix::Label1_Click()
{
    Cambia();
}

QString frmCiarlatronix::EstraiRiga()
{
    QString phrase;
    ErrorTrap trap(reporter(), "EstraiRiga", ErrorTrap::Kind::Function);
    phrases::PhraseFile file;
    trap.run([&] {
        const std::int32_t k = Casuale(pubNumeroRighe);
        file.open(toFileSystemPath(applicationFile("cazzate.txt")));
        std::string line;
        if (file.readLine(k, line, environment_.lineLimit))
            phrase = phraseFromLine(line);
    });
    file.close();
    return phrase;
}

void frmCiarlatronix::Label2_Click()
{
    ErrorTrap trap(reporter(), "Label2_Click", ErrorTrap::Kind::Function);
    trap.run([&] {
        txtCrediti->setText(credits::text());
        txtCrediti->setCursorPosition(0);
    });
    trap.run([&] { Timer1->setEnabled(true); });
    trap.run([&] { Timer1->setInterval(layout::CreditsTickMs); });
}

void frmCiarlatronix::Timer1_Timer()
{
    ErrorTrap trap(reporter(), "Timer1_Timer", ErrorTrap::Kind::Function);
    QString text;
    trap.run([&] { text = txtCrediti->text(); });
    trap.run([&] { text = ticker::rotateLeft(text); });
    trap.run([&] { txtCrediti->setAlignment(Qt::AlignLeft | Qt::AlignVCenter); });
    trap.run([&] {
        txtCrediti->setText(text);
        // A line edit scrolls to its cursor; the ticker shows the start of the text.
        txtCrediti->setCursorPosition(0);
    });
}
