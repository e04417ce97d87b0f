#include "shell/ui/launch_hud.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QThread>
#include <QThreadPool>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/ui_thread.h"
#include "shell/launch_instance.h"

namespace quillon {

namespace {

// The overlay is on screen at least this long, however fast the process starts.
constexpr int kMinimumShownMs = 500;

// A ring of twelve strokes whose bright stroke goes round.
class TSpinner : public QWidget {
 public:
  explicit TSpinner(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFixedHeight(40);
    FTimer.setInterval(80);
    QObject::connect(&FTimer, &QTimer::timeout, this, [this] {
      FStep = (FStep + 1) % 12;
      update();
    });
  }
  void start() { FTimer.start(); }
  void stop() { FTimer.stop(); }

 protected:
  void paintEvent(QPaintEvent *) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(width() / 2.0, height() / 2.0);
    for (int i = 0; i < 12; ++i) {
      QColor c(Qt::white);
      c.setAlphaF(0.25 + 0.75 * (((i - FStep + 12) % 12) / 11.0));
      p.setPen(QPen(c, 3.0, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(0, -10), QPointF(0, -17));
      p.rotate(30.0);
    }
  }

 private:
  QTimer FTimer;
  int FStep = 0;
};

// The cover: fills its window, dims it and takes every pointer event.
class TCover : public QWidget {
 public:
  explicit TCover(QWidget *owner) : QWidget(owner) {
    setObjectName(QStringLiteral("LaunchHUDCover"));
    owner->installEventFilter(this);
    setGeometry(owner->rect());
  }

 protected:
  void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), QColor::fromRgba(0x66000000u)); }
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (watched == parentWidget() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
  }
};

class TPanel : public QWidget {
 public:
  explicit TPanel(QWidget *cover) : QWidget(cover) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFixedSize(340, 120);
  }

 protected:
  void paintEvent(QPaintEvent *) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgba(0xEE222222u));
    p.drawRoundedRect(rect(), 16, 16);
  }
};

struct THud {
  QPointer<QWidget> Owner;
  QPointer<QWidget> Cover;
  TSpinner *Spinner = nullptr;
  QLabel *Text = nullptr;
};

THud &hud() {
  static THud state;
  return state;
}

void build(QWidget *owner) {
  THud &h = hud();
  delete h.Cover.data();
  h.Owner = owner;
  auto *cover = new TCover(owner);
  auto *panel = new TPanel(cover);
  auto *panelLayout = new QVBoxLayout(panel);
  panelLayout->setContentsMargins(12, 16, 12, 12);
  panelLayout->setSpacing(8);
  h.Spinner = new TSpinner(panel);
  h.Text = new QLabel(panel);
  h.Text->setAttribute(Qt::WA_TransparentForMouseEvents);
  h.Text->setAlignment(Qt::AlignCenter);
  h.Text->setWordWrap(true);
  QFont font = h.Text->font();
  font.setPixelSize(14);
  h.Text->setFont(font);
  h.Text->setStyleSheet(QStringLiteral("color: white;"));
  panelLayout->addWidget(h.Spinner);
  panelLayout->addWidget(h.Text, 1);
  auto *centre = new QVBoxLayout(cover);
  centre->addWidget(panel, 0, Qt::AlignCenter);
  cover->hide();
  h.Cover = cover;
}

}  // namespace

void TLaunchHUD::Show(QWidget *owner, const QString &message) {
  THud &h = hud();
  if (!h.Cover || h.Owner != owner) build(owner);
  h.Text->setText(message);
  h.Cover->setGeometry(owner->rect());
  h.Cover->show();
  h.Spinner->setEnabled(true);
  h.Spinner->show();
  h.Spinner->start();
  h.Cover->raise();
}

void TLaunchHUD::Hide() {
  THud &h = hud();
  if (!h.Cover) return;
  h.Spinner->stop();
  h.Cover->hide();
}

bool TLaunchHUD::IsShown() { return hud().Cover && hud().Cover->isVisible(); }

QWidget *TLaunchHUD::cover() { return hud().Cover; }

void actOpenNewWindowExecute(QWidget *owner, const QString &message) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  TLaunchHUD::Show(owner, message);
  QThreadPool::globalInstance()->start([] {
    QElapsedTimer stopwatch;
    stopwatch.start();
    try {
      LaunchAnotherInstance(instanceIdOf(QTime::currentTime()));
    } catch (...) {
      // A window that cannot be started leaves nothing to tell: the overlay goes as usual.
    }
    while (stopwatch.elapsed() < kMinimumShownMs) QThread::msleep(10);
    postToUiThread([] {
      TLaunchHUD::Hide();
      QApplication::restoreOverrideCursor();
    });
  });
}

void BringFormToFront(QWidget *window) {
  if (window->isMinimized()) window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  window->raise();
  window->activateWindow();
}

}  // namespace quillon
