#include "support/ui/Frm_progress.h"

#include "ui_Frm_progress.h"

#include "support/Checked.h"
#include "support/Failure.h"
#include "support/ui/Window_Helpers.h"

#include <QFontMetrics>

namespace {
constexpr int largest_caption_points = 14;
constexpr std::int32_t caption_left_twips = 20;
constexpr std::int32_t caption_right_margin_twips = 40;
} // namespace

Frm_progress::Frm_progress(QWidget *parent) : QWidget(parent), ui_(std::make_unique<Ui::Frm_progress>()) {
  ui_->setupUi(this);
  Arrange();
}

Frm_progress::~Frm_progress() = default;

void Frm_progress::Set_Caption(const QString &text) {
  Guarded(QStringLiteral("Set_Caption of Form Frm_progress"), [&] {
    ui_->Text_caption->setText(text);
    ui_->Text_caption->repaint();
  });
}

void Frm_progress::Set_Percent(std::int32_t percent) {
  Guarded(QStringLiteral("Set_Percent of Form Frm_progress"), [&] {
    if (percent < ui_->ProgressBar1->minimum() || percent > ui_->ProgressBar1->maximum())
      return;
    ui_->ProgressBar1->setValue(percent);
    ui_->ProgressBar1->repaint();
  });
}

void Frm_progress::Adapt_Font() {
  Guarded(QStringLiteral("Adapt_Font of Form Frm_progress"), [&] {
    const QString text = ui_->Text_caption->text();
    const long long box_width = ui_->Text_caption->width();
    QFont font = this->font();
    int points = largest_caption_points;
    for (; points > 1; --points) {
      font.setPointSize(points);
      if (10LL * QFontMetrics(font, this).horizontalAdvance(text) <= 9 * box_width)
        break;
    }
    font.setPointSize(points);
    ui_->Text_caption->setFont(font);
  });
}

void Frm_progress::resizeEvent(QResizeEvent * /*event*/) {
  Guarded(QStringLiteral("Form_Resize of Form Frm_progress"), [&] { Arrange(); });
}

void Frm_progress::Arrange() {
  const long long w = width();
  // The bar takes 70 % of the width, a third of the rest on its left.
  const auto bar_width = static_cast<int>(Divide_Half_Even(7 * w, 10));
  const auto bar_left = static_cast<int>(Divide_Half_Even(w - bar_width, 3));
  QProgressBar *bar = ui_->ProgressBar1;
  bar->setGeometry(bar_left, bar->y(), bar_width, bar->height());
  const int caption_left = Twips_To_Pixels_X(*this, caption_left_twips);
  const int caption_right = static_cast<int>(w) - Twips_To_Pixels_X(*this, caption_right_margin_twips);
  QLineEdit *caption = ui_->Text_caption;
  caption->setGeometry(caption_left, caption->y(), qMax(0, caption_right - caption_left), caption->height());
}
