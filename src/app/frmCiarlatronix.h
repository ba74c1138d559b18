#pragma once

#include "Environment.h"

#include <QWidget>

#include <cstdint>
#include <memory>

class IntervalTimer;
class MessageBoxReporter;
class PhraseLabel;
class PictureBox;
class QLabel;
class QLineEdit;
class PlatformServices;
namespace phrases {
class ClockSeededRandom;
}

// The program's one window: a photo, a balloon with a random phrase, the credits ticker,
// the link to the home page and the close mark.
class frmCiarlatronix : public QWidget
{
    Q_OBJECT

public:
    explicit frmCiarlatronix(Environment environment = {}, QWidget *parent = nullptr);
    ~frmCiarlatronix() override;

    // The start-up sequence; runs to its end before the window is first shown.
    void Form_Load();

    std::int32_t pubNumeroRighe = 0;

    // The control events, public so the event table and the tests reach them alike.
    void Image2_Click();
    void imgCazzaro_Click();
    void imgClose_Click();
    void imgFumetto_Click();
    void Label1_Click();
    void Label2_Click();
    void Timer1_Timer();

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void Form_Unload(bool &cancel);
    void ContaRighe();
    std::int32_t Casuale(const std::int32_t &upperBound);
    void Cambia();
    QString EstraiRiga();

    void createControls();
    void connectEvents();
    QString applicationFile(const char *name) const;
    ErrorReporter &reporter() const { return *environment_.reporter; }

    Environment environment_;
    std::unique_ptr<MessageBoxReporter> ownReporter_;
    std::unique_ptr<phrases::ClockSeededRandom> ownRandom_;
    PlatformServices *ownServices_ = nullptr;
    QPixmap backdrop_;

    QLineEdit *txtCrediti = nullptr;
    IntervalTimer *Timer1 = nullptr;
    PictureBox *Image2 = nullptr;
    QLabel *Label2 = nullptr;
    PhraseLabel *Label1 = nullptr;
    PictureBox *imgClose = nullptr;
    PictureBox *imgCazzaro = nullptr;
    PictureBox *imgFumetto = nullptr;
    PictureBox *Image1 = nullptr;
};
