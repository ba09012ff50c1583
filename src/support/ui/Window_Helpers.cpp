#include "support/ui/Window_Helpers.h"

#include "support/Checked.h"
#include "support/Failure.h"
#include "support/Non_dependant.h"
#include "support/Operator.h"
#include "support/ui/Picture_Box.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace {
constexpr int largest_fitting_points = 110;
constexpr int smallest_fitting_points = 8;
constexpr std::int32_t screen_copy_wait_ms = 500;
constexpr std::int32_t twips_per_inch = 1440;
const char *const close_guard_name = "Lurcher_close_guard";

// Refuses the operator's close requests (from the window system) while the close
// command is disabled; the program's own close() still goes through.
class Close_Guard final : public QObject {
public:
  explicit Close_Guard(QObject *parent) : QObject(parent) { setObjectName(QLatin1String(close_guard_name)); }

protected:
  bool eventFilter(QObject * /*watched*/, QEvent *event) override {
    if (event->type() == QEvent::Close && event->spontaneous()) {
      event->ignore();
      return true;
    }
    return false;
  }
};

// Changing window flags recreates the window: keep it where it was, at its size, shown.
template <class Change> void Change_Flags(QWidget *w, Change &&change) {
  const bool shown = w->isVisible();
  const QRect place = w->geometry();
  change();
  w->setGeometry(place);
  if (shown)
    w->show();
}
} // namespace

int Max_Font(Picture_Box &picture, const QString &text) {
  try {
    picture.Set_FontName(QStringLiteral("Arial"));
    for (int points = largest_fitting_points; points >= smallest_fitting_points; points -= 2) {
      picture.Set_FontSize(points);
      if (picture.TextWidth(text) < picture.ScaleWidth() && picture.TextHeight(text) < picture.ScaleHeight())
        return points;
    }
    return smallest_fitting_points;
  } catch (...) {
    const Failure_Info f = Current_Failure();
    Msg_Box(QStringLiteral("Max_Font error! %1 %2").arg(f.number).arg(f.description));
    return 0;
  }
}

void Copy_Screen() {
  Guarded(QStringLiteral("Copy_Screen of Module Non_dependant"), [] {
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
      const QPixmap shot = screen->grabWindow(0);
      if (!shot.isNull())
        QGuiApplication::clipboard()->setPixmap(shot);
    }
    Do_Sleep(screen_copy_wait_ms, true);
  });
}

int Enable_Close_Button(QWidget *window, bool enable) {
  if (!window)
    return 255;
  QWidget *w = window->window();
  auto *guard = w->findChild<Close_Guard *>(QLatin1String(close_guard_name), Qt::FindDirectChildrenOnly);
  if (enable == (guard == nullptr))
    return 0;
  Change_Flags(w, [&] {
    Qt::WindowFlags flags = w->windowFlags();
    if (!(flags & Qt::CustomizeWindowHint)) {
      // From here on the hints name every decoration: keep those the window had.
      flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
      if ((flags & Qt::WindowType_Mask) == Qt::Window)
        flags |= Qt::WindowMinMaxButtonsHint;
    }
    flags.setFlag(Qt::WindowCloseButtonHint, enable);
    w->setWindowFlags(flags);
  });
  if (enable) {
    w->removeEventFilter(guard);
    delete guard;
  } else {
    w->installEventFilter(new Close_Guard(w));
  }
  return 0;
}

bool Close_Button_Enabled(const QWidget *window) {
  return window && !window->window()->findChild<QObject *>(QLatin1String(close_guard_name), Qt::FindDirectChildrenOnly);
}

void Make_Top_Most(QWidget *window) {
  if (!window)
    return;
  QWidget *w = window->window();
  if (w->windowFlags() & Qt::WindowStaysOnTopHint)
    return;
  Change_Flags(w, [&] { w->setWindowFlag(Qt::WindowStaysOnTopHint, true); });
}

int Right_Edge(const QWidget &control) { return control.x() + control.width(); }

int Bottom_Edge(const QWidget &control) { return control.y() + control.height(); }

int Twips_To_Pixels_X(const QWidget &widget, std::int32_t twips) {
  return static_cast<int>(Divide_Half_Even(static_cast<long long>(twips) * widget.logicalDpiX(), twips_per_inch));
}

int Twips_To_Pixels_Y(const QWidget &widget, std::int32_t twips) {
  return static_cast<int>(Divide_Half_Even(static_cast<long long>(twips) * widget.logicalDpiY(), twips_per_inch));
}
