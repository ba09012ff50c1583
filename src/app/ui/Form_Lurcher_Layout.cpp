// Arrangement of the main window's panels: the frame picture, the time-setting frame
// under it and the control column beside them; and minimising with the results window.

#include "app/ui/Form_Lurcher.h"
#include "ui_Form_Lurcher.h"

#include "app/Stand_Ins.h"
#include "support/Failure.h"
#include "support/ui/Window_Helpers.h"

#include <QLayout>
#include <algorithm>

namespace {
constexpr std::int32_t gap_twips = 20;
constexpr std::int32_t right_margin_twips = 120;
constexpr std::int32_t picture_border_twips = 40;
} // namespace

// Title bar, borders and menu bar: what the window has besides its client area.
int Form_Lurcher::Non_Client_Height() const {
  // Before the window is first shown its layout has not placed the menu bar yet.
  if (layout())
    layout()->activate();
  return frameGeometry().height() - ui->centralwidget->height();
}

void Form_Lurcher::Set_Outer_Height(int height) {
  resize(width(), height - (frameGeometry().height() - this->height()));
}

void Form_Lurcher::Set_Outer_Width(int width) { resize(width - (frameGeometry().width() - this->width()), height()); }

void Form_Lurcher::Arrange_form() {
  Guarded(QStringLiteral("Arrange_form of Form Form_Lurcher"), [&] {
    QWidget &picture = *ui->Picture_out;
    QWidget &settimes = *ui->Frame_settimes;
    QWidget &controls = *ui->Frame_controls;
    const int gap = Twips_To_Pixels_Y(*this, gap_twips);
    settimes.show();
    settimes.move(settimes.x(), Bottom_Edge(picture) + gap);
    const int n = Non_Client_Height();
    Set_Outer_Height(Bottom_Edge(settimes) + n + gap);
    // A tall control column reaches down beside the time-setting frame and must clear it;
    // it must clear the picture in every case, however wide a picture a file brings.
    const int beside_x = controls.height() >= picture.height() ? std::max(Right_Edge(settimes), Right_Edge(picture))
                                                               : Right_Edge(picture);
    controls.move(beside_x + Twips_To_Pixels_X(*this, gap_twips), controls.y());
    Set_Outer_Width(Right_Edge(controls) + Twips_To_Pixels_X(*this, right_margin_twips));
    Set_Outer_Height(n + std::max(Bottom_Edge(controls), Bottom_Edge(settimes)));
  });
}

void Form_Lurcher::Set_Cropping() {
  Guarded(QStringLiteral("Set_Cropping of Form Form_Lurcher"), [&] {
    ui->Picture_out->resize(Crop_X + Twips_To_Pixels_X(*this, picture_border_twips),
                            Crop_Y + Twips_To_Pixels_Y(*this, picture_border_twips));
    Arrange_form();
  });
}

void Form_Lurcher::changeEvent(QEvent *e) {
  if (e->type() == QEvent::WindowStateChange)
    Form_Resize();
  QMainWindow::changeEvent(e);
}

void Form_Lurcher::Form_Resize() {
  Guarded(QStringLiteral("Form_Resize of Form Form_Lurcher"), [&] {
    QWidget *results = Stand_In::Results_Window();
    if (!results || !results->isVisible())
      return;
    if (isMinimized())
      results->showMinimized();
    else if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
      results->showNormal();
  });
}
