#include "events/ui/Form_event_registration.h"
#include "ui_Form_event_registration.h"

#include "events/Event_State.h"
#include "support/Clock.h"
#include "support/Failure.h"
#include "support/Non_dependant.h"
#include "support/Operator.h"
#include "support/Trace.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QSignalBlocker>

namespace {
constexpr Location_Of Form_Location{"Form", "Form_event_registration"};

// Keys that change the text of a box (typing, deleting, pasting, cutting, undoing).
bool Edits_Text(const QKeyEvent &key) {
  if (key.matches(QKeySequence::Paste) || key.matches(QKeySequence::Cut) || key.matches(QKeySequence::Undo) ||
      key.matches(QKeySequence::Redo) || key.matches(QKeySequence::Delete) ||
      key.matches(QKeySequence::DeleteStartOfWord) || key.matches(QKeySequence::DeleteEndOfWord) ||
      key.matches(QKeySequence::DeleteEndOfLine))
    return true;
  if (key.key() == Qt::Key_Backspace || key.key() == Qt::Key_Delete)
    return true;
  const QString text = key.text();
  return !text.isEmpty() && text.at(0).isPrint();
}
} // namespace

Form_event_registration::Form_event_registration(QWidget *parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::Form_event_registration>()) {
  ui_->setupUi(this);
  Picture_box_ = {ui_->Picture_box_1, ui_->Picture_box_2, ui_->Picture_box_3,
                  ui_->Picture_box_4, ui_->Picture_box_5, ui_->Picture_box_6};
  Text_dog_name_ = {ui_->Text_dog_name_1, ui_->Text_dog_name_2, ui_->Text_dog_name_3,
                    ui_->Text_dog_name_4, ui_->Text_dog_name_5, ui_->Text_dog_name_6};
  // The speaker card comes with its own window; until then the command has nothing to show.
  ui_->item_speaker_card->setEnabled(false);
  m_Event_DOM.Create_Lurcher_Race_File(Current_Clock().Local_Now());
  Connect_Controls();
  Set_Event_Open(false);
}

Form_event_registration::~Form_event_registration() = default;

void Form_event_registration::Connect_Controls() {
  connect(ui_->Text_event_name, &QLineEdit::textChanged, this, [this] { Text_event_name_Change(); });
  connect(ui_->Text_day, &QLineEdit::textChanged, this, [this] { Text_day_Change(); });
  for (int box = 1; box <= 6; ++box) {
    connect(&Text_dog_name(box), &QLineEdit::textChanged, this, [this, box] { Text_dog_name_Change(box); });
    Text_dog_name(box).installEventFilter(this);
  }
  for (QLineEdit *edit : {ui_->Text_heatName, ui_->Text_heat_start_time, ui_->Text_heatLength})
    edit->installEventFilter(this);
  connect(ui_->UpDown_heat, &QSpinBox::valueChanged, this, [this](int value) { UpDown_heat_Change(value); });
  connect(ui_->item_open_event_file, &QAction::triggered, this, [this] { item_open_event_file_Click(); });
  connect(ui_->item_create_event_file, &QAction::triggered, this, [this] { item_create_event_file_Click(); });
  connect(ui_->item_close_event_file, &QAction::triggered, this, [this] { item_close_event_file_Click(); });
  connect(ui_->item_import_dog_names, &QAction::triggered, this, [this] { item_import_dog_names_Click(); });
  connect(ui_->item_print_form, &QAction::triggered, this, [this] { item_print_form_Click(); });
  connect(ui_->item_hide, &QAction::triggered, this, [this] { item_hide_Click(); });
}

// ---------------------------------------------------------------- accessors

QString Form_event_registration::Event_name() const { return m_Event_Open ? m_Event_DOM.Event_name() : QString(); }

QString Form_event_registration::Get_day() const { return m_Event_DOM.Event_day(); }

QString Form_event_registration::Heat_Name(std::int16_t heat) const {
  return m_Event_Open ? m_Event_DOM.Heat_Name(heat) : QString();
}

QString Form_event_registration::Heat_Length(std::int16_t heat) const {
  return m_Event_Open ? m_Event_DOM.Heat_Length(heat) : QString();
}

QString Form_event_registration::Reg_Dog_Name(std::int16_t heat, std::int16_t box) const {
  return m_Event_DOM.Dog_Name(heat, box);
}

QString Form_event_registration::Text_event_name() const { return ui_->Text_event_name->text(); }

QString Form_event_registration::Text_day() const { return ui_->Text_day->text(); }

// ---------------------------------------------------------------- activation

bool Form_event_registration::event(QEvent *e) {
  if (e->type() == QEvent::WindowActivate)
    Form_Activate();
  else if (e->type() == QEvent::WindowDeactivate)
    Form_Deactivate();
  return QMainWindow::event(e);
}

void Form_event_registration::Form_Activate() {
  Guarded(Form_Location("Form_Activate"), [&] {
    Update_Event_file_name();
    if (!badge_painter_)
      return;
    for (int box = 1; box <= 6; ++box)
      badge_painter_(Picture_box(box), static_cast<std::int16_t>(box));
  });
}

void Form_event_registration::Form_Deactivate() {
  Guarded(Form_Location("Form_Deactivate"), [&] { XML_to_File(); });
}

void Form_event_registration::closeEvent(QCloseEvent *e) {
  Form_QueryUnload();
  e->accept(); // the window only hides: it keeps the event for the rest of the run
}

void Form_event_registration::Form_QueryUnload() {
  Guarded(Form_Location("Form_QueryUnload"), [&] {
    Trace_String(QStringLiteral("*Form_event_registration, Form_QueryUnload, begin"));
    XML_to_File();
    Trace_String(QStringLiteral("*Form_event_registration, Form_QueryUnload, end"));
  });
}

void Form_event_registration::Update_Event_file_name() {
  Guarded(Form_Location("Update_Event_file_name"), [&] {
    const QString &file = Event_State::Event_File;
    if (FileExists(file)) {
      ui_->Label_event_filename->setText(ParsePath(file, 0));
      ui_->Label_event_filename->setToolTip(file);
    } else {
      ui_->Label_event_filename->setText(QStringLiteral("No event file"));
      ui_->Label_event_filename->setToolTip(QString());
    }
  });
}

void Form_event_registration::Update_heat() {
  ui_->Frame_boxes->setTitle(QStringLiteral("Heat ") + QString::number(m_Current_Heat));
}

void Form_event_registration::Set_Event_Open(bool open) {
  m_Event_Open = open;
  // The heat and dog boxes take no typing without an event (the key filter beeps); read-only
  // also keeps out what arrives by mouse (context-menu paste, dropped text).
  for (QLineEdit *edit : {ui_->Text_heatName, ui_->Text_heat_start_time, ui_->Text_heatLength})
    edit->setReadOnly(!open);
  for (QLineEdit *edit : Text_dog_name_)
    edit->setReadOnly(!open);
}

void Form_event_registration::Refresh_Heat_Display() {
  if (heat_display_)
    heat_display_();
}

// ---------------------------------------------------------------- heats

void Form_event_registration::Show_Heat(std::int16_t heat) {
  m_Current_Heat = heat;
  {
    const QSignalBlocker quiet(ui_->UpDown_heat);
    ui_->UpDown_heat->setValue(heat);
  }
  Update_heat();
}

void Form_event_registration::Clear_Heat_Boxes() {
  loading_ = true;
  for (QLineEdit *edit : {ui_->Text_heatName, ui_->Text_heatLength, ui_->Text_heat_start_time})
    edit->clear();
  for (QLineEdit *edit : Text_dog_name_)
    edit->clear();
  loading_ = false;
}

void Form_event_registration::Load_Heat_Data() {
  Guarded(Form_Location("Load_Heat_Data"), [&] {
    const std::int16_t n = m_Current_Heat;
    if (!m_Event_Open || !m_Event_DOM.Has_Heat(n)) {
      Clear_Heat_Boxes();
      return;
    }
    loading_ = true;
    ui_->Text_heatName->setText(m_Event_DOM.Heat_Name(n));
    // An empty length keeps the one shown: a length typed once carries over to the next heats.
    const QString length = m_Event_DOM.Heat_Length(n);
    if (!length.isEmpty())
      ui_->Text_heatLength->setText(length);
    ui_->Text_heat_start_time->setText(m_Event_DOM.Heat_Time(n));
    for (int box = 1; box <= 6; ++box)
      Text_dog_name(box).setText(m_Event_DOM.Dog_Name(n, static_cast<std::int16_t>(box)));
    loading_ = false;
  });
  loading_ = false;
}

void Form_event_registration::UpDown_heat_Change(int value) {
  Guarded(Form_Location("UpDown_heat_Change"), [&] {
    if (!m_Event_Open) {
      Beep();
      const QSignalBlocker quiet(ui_->UpDown_heat);
      ui_->UpDown_heat->setValue(m_Current_Heat); // the selector keeps showing the heat in the boxes
      return;
    }
    if (value < m_Current_Heat)
      XML_to_File();
    m_Current_Heat = static_cast<std::int16_t>(value);
    Update_heat();
    Load_Heat_Data();
  });
}

// ---------------------------------------------------------------- editing

void Form_event_registration::Text_event_name_Change() {
  Guarded(Form_Location("Text_event_name_Change"), [&] {
    if (m_Event_Open && !loading_)
      m_Event_DOM.Set_Event_name(ui_->Text_event_name->text());
  });
}

void Form_event_registration::Text_day_Change() {
  Guarded(Form_Location("Text_day_Change"), [&] {
    if (m_Event_Open && !loading_)
      m_Event_DOM.Set_Event_day(ui_->Text_day->text());
  });
}

void Form_event_registration::Text_dog_name_Change(int box) {
  Guarded(Form_Location("Text_dog_name_Change"), [&] {
    if (m_Event_Open && !loading_)
      m_Event_DOM.Set_Dog_Name(m_Current_Heat, static_cast<std::int16_t>(box), Text_dog_name(box).text());
  });
}

void Form_event_registration::Text_dog_name_LostFocus(int /*box*/) {
  Guarded(Form_Location("Text_dog_name_LostFocus"), [&] { XML_to_File(); });
}

void Form_event_registration::Text_heatName_Validate() {
  Guarded(Form_Location("Text_heatName_Validate"), [&] {
    if (m_Event_Open)
      m_Event_DOM.Set_Heat_Name(m_Current_Heat, ui_->Text_heatName->text());
  });
}

void Form_event_registration::Text_heatName_LostFocus() {
  Guarded(Form_Location("Text_heatName_LostFocus"), [&] { XML_to_File(); });
}

void Form_event_registration::Text_heat_start_time_Validate() {
  Guarded(Form_Location("Text_heat_start_time_Validate"), [&] {
    if (m_Event_Open)
      m_Event_DOM.Set_Heat_Time(m_Current_Heat, ui_->Text_heat_start_time->text());
  });
}

void Form_event_registration::Text_heatLength_Validate() {
  Guarded(Form_Location("Text_heatLength_Validate"), [&] {
    if (m_Event_Open)
      m_Event_DOM.Set_Heat_Length(m_Current_Heat, ui_->Text_heatLength->text());
  });
}

void Form_event_registration::Text_heatLength_LostFocus() {
  Guarded(Form_Location("Text_heatLength_LostFocus"), [&] { XML_to_File(); });
}

void Form_event_registration::Focus_Left(QObject *watched) {
  if (watched == ui_->Text_heatName) {
    Text_heatName_Validate();
    Text_heatName_LostFocus();
  } else if (watched == ui_->Text_heat_start_time) {
    Text_heat_start_time_Validate();
  } else if (watched == ui_->Text_heatLength) {
    Text_heatLength_Validate();
    Text_heatLength_LostFocus();
  } else {
    for (int box = 1; box <= 6; ++box)
      if (watched == &Text_dog_name(box))
        Text_dog_name_LostFocus(box);
  }
}

bool Form_event_registration::Key_Refused(QObject * /*watched*/, QEvent *e) {
  if (m_Event_Open || e->type() != QEvent::KeyPress)
    return false;
  if (!Edits_Text(*static_cast<QKeyEvent *>(e)))
    return false;
  Beep();
  return true;
}

bool Form_event_registration::eventFilter(QObject *watched, QEvent *e) {
  bool refused = false;
  Guarded(Form_Location("KeyPress"), [&] {
    if (e->type() == QEvent::FocusOut)
      Focus_Left(watched);
    else
      refused = Key_Refused(watched, e);
  });
  return refused || QMainWindow::eventFilter(watched, e);
}
