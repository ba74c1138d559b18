#pragma once

#include "app/WindowControls.h"
#include "app/frmCiarlatronix.h"
#include "ui/FocusRing.h"

#include <QCursor>
#include <QPixmap>
#include <QWidget>

#include <memory>

class ClickRelay;
class CreditsBox;
class FocusMark;
class IntervalTimer;
class MessageBoxReporter;
class PhraseLabel;
class PictureBox;
class QLabel;
class QtServices;

// The window on screen: Qt widgets stacked as the layout says, each click handed to the
// window's routines.
class MainWindow : public QWidget, public WindowControls
{
    Q_OBJECT

public:
    // Anything the environment leaves empty is the real thing.
    explicit MainWindow(Environment environment = {}, QWidget *parent = nullptr);
    ~MainWindow() override;

    frmCiarlatronix &form() { return *form_; }

    void setPhraseFontSize(float points) override;
    void setPhraseText(const std::u16string &text) override;
    std::u16string creditsText() const override;
    void setCreditsText(const std::u16string &text) override;
    void alignCreditsLeft() override;
    void setTimerEnabled(bool enabled) override;
    void setTimerInterval(int milliseconds) override;
    void setPhoto(const std::vector<unsigned char> &file) override;
    std::uintptr_t nativeHandle() const override;
    void unload() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;
    // The window's own ring, never Qt's tab chain.
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createControls();
    void connectEvents();
    void onClicked(layout::Control control);
    void onTick();
    void follow(const focus::Step &step);
    void showFocus();
    QWidget *control(layout::Control id) const;
    layout::Size photoSize() const;
    QCursor pointer(layout::Pointer kind) const;

    std::unique_ptr<MessageBoxReporter> ownReporter_;
    QtServices *ownServices_ = nullptr;
    std::unique_ptr<frmCiarlatronix> form_;
    QPixmap backdrop_;
    QCursor handPointer_;
    QCursor iconPointer_;
    ClickRelay *clicks_ = nullptr;
    focus::Keyboard keyboard_;
    FocusMark *mark_ = nullptr;

    CreditsBox *txtCrediti = nullptr;
    IntervalTimer *Timer1 = nullptr;
    PictureBox *Image2 = nullptr;
    QLabel *Label2 = nullptr;
    PhraseLabel *Label1 = nullptr;
    PictureBox *imgClose = nullptr;
    PictureBox *imgCazzaro = nullptr;
    PictureBox *imgFumetto = nullptr;
    PictureBox *Image1 = nullptr;
};
