#include "capture/ui/Form_select_Video.h"

#include "ui_Form_select_Video.h"

#include "capture/Capture_Component.h"
#include "capture/Module_HDMI_Support.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Non_dependant.h"
#include "support/Operator.h"
#include "support/Settings_Store.h"
#include "support/Trace.h"
#include "support/ui/Keyboard_State.h"
#include "support/ui/Window_Helpers.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QTreeWidgetItem>

namespace {
constexpr int sources_examined = 10;
constexpr int column_source = 0, column_name = 1, column_format = 2, column_description = 3;
constexpr int column_widths_twips[] = {400, 3500, 400, 2000};
constexpr std::int32_t form_capture_wait_ms = 500;
const QString crlf = QStringLiteral("\r\n");

constexpr Location_Of where{"Form", "Form_select_Video"};

QString Version_Text() {
  const App_Version_Info v = App_Version();
  return QStringLiteral("%1.%2.%3").arg(v.major).arg(v.minor).arg(v.revision);
}
} // namespace

Form_select_Video::Form_select_Video(QWidget *parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::Form_select_Video>()) {
  ui_->setupUi(this);
  setAttribute(Qt::WA_QuitOnClose, false);
  connect(ui_->Command_enum2, &QPushButton::clicked, this, [this] { Command_enum2_Click(); });
  connect(ui_->Command_select_done, &QPushButton::clicked, this, [this] { Command_select_done_Click(); });
  connect(ui_->Command_Cancel, &QPushButton::clicked, this, [this] { Command_Cancel_Click(); });
  connect(ui_->ListView_prop, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem *item, int) { ListView_prop_Click(ui_->ListView_prop->indexOfTopLevelItem(item)); });
  connect(ui_->item_list_contents, &QAction::triggered, this, [this] { item_list_contents_Click(); });
  connect(ui_->item_form_capture, &QAction::triggered, this, [this] { item_form_capture_Click(); });
  connect(ui_->menu_form, &QMenu::aboutToShow, this, [this] { menu_form_click(); });
  // The rate limit is read by the capture object; the box starts ticked with every window.
  connect(ui_->Check_limit_fps, &QCheckBox::toggled, this,
          [](bool on) { Module_HDMI_Support::Limit_Capture_25_Fps = on; });
  Module_HDMI_Support::Limit_Capture_25_Fps = ui_->Check_limit_fps->isChecked();
  Form_Load();
}

Form_select_Video::~Form_select_Video() = default;

void Form_select_Video::Form_Load() {
  Guarded(where("Form_Load"), [this] {
    if (Globals::Closing)
      return;
    QTreeWidget *list = ui_->ListView_prop;
    list->setGeometry(Twips_To_Pixels_X(*this, 120), Twips_To_Pixels_Y(*this, 120), Twips_To_Pixels_X(*this, 9600),
                      Twips_To_Pixels_Y(*this, 4416));
    for (int c = 0; c < 4; ++c)
      list->setColumnWidth(c, Twips_To_Pixels_X(*this, column_widths_twips[c]));
    list->header()->setStretchLastSection(true);
    ui_->menu_debug->menuAction()->setVisible(false);
    was_cancelled_ = false;
  });
}

bool Form_select_Video::Check_limit_fps() const { return ui_->Check_limit_fps->isChecked(); }

bool Form_select_Video::event(QEvent *event) {
  if (event->type() == QEvent::WindowActivate)
    Form_Activate();
  return QMainWindow::event(event);
}

void Form_select_Video::showEvent(QShowEvent *event) {
  Form_Activate();
  QMainWindow::showEvent(event);
}

void Form_select_Video::Form_Activate() { selection_made_ = false; }

// ---- the list ----

void Form_select_Video::Command_enum2_Click() {
  Guarded(where("Command_enum2_Click"), [this] {
    Write_Trace("*Command_enum2_Click");
    std::unique_ptr<Capture_Component> capture = Create_Capture_Component();
    ui_->ListView_prop->clear();
    for (int n = 1; n <= sources_examined; ++n) {
      if (!capture->SelectSource(QStringLiteral("video:%1").arg(n)))
        break;
      Add_Source_Rows(*capture, n);
    }
    capture.reset();
    Mark_Saved_Row();
  });
}

// Consecutive formats with the same description are listed once, under the first of them.
void Form_select_Video::Add_Source_Rows(Capture_Component &capture, int source_number) {
  const QString name = capture.GetValue(QStringLiteral("sourceFriendlyName"));
  const int count = capture.GetValue(QStringLiteral("numprops")).toInt();
  QString previous;
  for (int k = 0; k < count; ++k) {
    const QString description = Get_Prop(capture, k);
    if (k > 0 && description == previous)
      continue;
    previous = description;
    auto *row = new QTreeWidgetItem(ui_->ListView_prop);
    row->setText(column_source, QString::number(source_number));
    row->setText(column_name, name);
    row->setText(column_format, QString::number(k));
    row->setText(column_description, description);
  }
}

void Form_select_Video::Mark_Saved_Row() {
  QTreeWidget *list = ui_->ListView_prop;
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    QTreeWidgetItem *row = list->topLevelItem(i);
    if (row->text(column_name) == Module_HDMI_Support::m_saved_Friendly_name &&
        row->text(column_format) == Module_HDMI_Support::m_saved_Video_prop_num) {
      list->setCurrentItem(row);
      row->setForeground(column_name, QColor(0, 0, 255));
    }
  }
}

int Form_select_Video::Row_Count() const { return ui_->ListView_prop->topLevelItemCount(); }

QStringList Form_select_Video::Row(int index) const {
  const QTreeWidgetItem *row = ui_->ListView_prop->topLevelItem(index);
  if (!row)
    return {};
  return {row->text(column_source), row->text(column_name), row->text(column_format), row->text(column_description)};
}

int Form_select_Video::Selected_Row() const {
  QTreeWidgetItem *row = ui_->ListView_prop->currentItem();
  return row ? ui_->ListView_prop->indexOfTopLevelItem(row) : -1;
}

void Form_select_Video::ListView_prop_Click(int index) {
  Guarded(where("ListView_prop_Click"), [&] {
    const QStringList row = Row(index);
    if (row.isEmpty())
      return;
    ui_->Label_video_source->setText(row[column_source]);
    ui_->Label_selected_friendly->setText(row[column_name]);
    ui_->Label_property_num->setText(row[column_format]);
    ui_->Label_property_string->setText(row[column_description]);
    Write_INI(Module_HDMI_Support::Settings_Section, Module_HDMI_Support::Key_Friendly_Name, row[column_name],
              Globals::Ini_File);
    Write_INI(Module_HDMI_Support::Settings_Section, Module_HDMI_Support::Key_Video_Property, row[column_format],
              Globals::Ini_File);
    selection_made_ = true;
  });
}

// ---- commands ----

void Form_select_Video::Command_select_done_Click() {
  Guarded(where("Command_select_done_Click"), [this] {
    if (selection_made_)
      hide();
    else
      Msg_Box(QStringLiteral("No video source selected!"));
  });
}

void Form_select_Video::Command_Cancel_Click() {
  Guarded(where("Command_Cancel_Click"), [this] {
    was_cancelled_ = true;
    hide();
  });
}

void Form_select_Video::menu_form_click() {
  Guarded(where("menu_form_click"), [this] {
    if (Alt_Down())
      ui_->menu_debug->menuAction()->setVisible(!ui_->menu_debug->menuAction()->isVisible());
  });
}

QString Form_select_Video::List_Contents_Text() const {
  QString text = QStringLiteral("Video source enumeration at ") + Get_DateTime_Text() + crlf +
                 QStringLiteral("Program version ") + Globals::App_Name + QLatin1Char(' ') + Version_Text() +
                 QStringLiteral(" Computer name ") + Globals::Computer_Name + crlf;
  const QString gap = QStringLiteral("  ");
  for (int i = 0; i < Row_Count(); ++i)
    text += Row(i).join(gap) + crlf;
  return text;
}

void Form_select_Video::item_list_contents_Click() {
  Guarded(where("item_list_contents_Click"), [this] {
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(List_Contents_Text());
  });
}

void Form_select_Video::item_form_capture_Click() {
  Guarded(where("item_form_capture_Click"), [this] {
    QGuiApplication::clipboard()->setImage(grab().toImage());
    Do_Sleep(form_capture_wait_ms, true);
  });
}
