#include "app/ui/Heat_Preview.h"
#include "ui_Form_Lurcher.h"

#include "events/Event_State.h"
#include "events/ui/Form_event_registration.h"
#include "recording/cls_VideoFile_handler.h"
#include "support/Checked.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Non_dependant.h"
#include "support/Settings_Store.h"

namespace {
constexpr Location_Of Form_Location{"Form", "Form_Lurcher"};

void Set_Text_And_Tip(QLabel &label, const QString &text) {
  label.setText(text);
  label.setToolTip(text);
}
} // namespace

Heat_Preview::Heat_Preview(Ui::Form_Lurcher &ui, Form_event_registration &events, std::function<bool()> heat_file_open)
    : ui_(ui), events_(events), heat_file_open_(std::move(heat_file_open)) {}

void Heat_Preview::UpDown_heat_Change() {
  Guarded(Form_Location("UpDown_heat_Change"), [&] {
    if ((heat_file_open_ && heat_file_open_()) || !Event_State::Event_Present)
      return;
    ui_.Frame_dogs_Heat->show();
    Display_Heat_Data();
    Write_INI(QStringLiteral("Settings"), QStringLiteral("Heat_ID"), QString::number(ui_.UpDown_heat->value()),
              Globals::Ini_File);
  });
}

void Heat_Preview::Display_Heat_Data() {
  Guarded(Form_Location("Display_Heat_Data"), [&] {
    if (Event_State::Event_Present)
      Show_Event_Heat(Checked_16(ui_.UpDown_heat->value()));
    else
      Show_No_Event();
  });
}

void Heat_Preview::Show_Event_Heat(std::int16_t heat) {
  ui_.Frame_heat->show();
  ui_.Label_event_file->setText(ParsePath(Event_State::Event_File, 0));
  ui_.Label_event_name->setText(events_.Event_name());
  ui_.Label_heat_number2->setText(QString::number(heat));
  ui_.Label_heat_name2->setText(events_.Heat_Name(heat));
  QLabel *const dogs[] = {ui_.Label_dog_0, ui_.Label_dog_1, ui_.Label_dog_2,
                          ui_.Label_dog_3, ui_.Label_dog_4, ui_.Label_dog_5};
  for (std::int16_t box = 1; box <= 6; ++box)
    dogs[box - 1]->setText(events_.Reg_Dog_Name(heat, box));
  ui_.Label_day->setText(events_.Text_day());
  ui_.Label_heat_num->setText(QString::number(heat));
  Set_Text_And_Tip(*ui_.Label_Heat_name, events_.Heat_Name(heat));
  Set_Text_And_Tip(*ui_.Label_event, events_.Event_name());
  const QString length = events_.Heat_Length(heat);
  ui_.Label_heat_length->setText(length.isEmpty() ? QString() : length + QStringLiteral(" m"));
}

void Heat_Preview::Show_No_Event() {
  ui_.Label_heat_length->clear();
  ui_.Label_day->clear();
  ui_.Label_heat_num->clear();
  Set_Text_And_Tip(*ui_.Label_Heat_name, QStringLiteral("Test"));
  ui_.Label_event->setText(QStringLiteral("Test"));
}

void Heat_Preview::Command_hide_Click() {
  Guarded(Form_Location("Command_hide_Click"), [&] { ui_.Frame_dogs_Heat->hide(); });
}

void Heat_Preview::Event_Changed() {
  Guarded(Form_Location("Display_Heat_Data"), [&] {
    if (!Event_State::Event_Present)
      ui_.Frame_dogs_Heat->hide();
    Display_Heat_Data();
  });
}

void Heat_Preview::item_No_event_file_Click() {
  Guarded(Form_Location("item_No_event_file_Click"), [&] {
    events_.No_Event_File(); // forgets the file and the event, stores an empty "current_event_file"
    ui_.Frame_dogs_Heat->hide();
    Display_Heat_Data();
  });
}

void Heat_Preview::Update_Dog_names(cls_VideoFile_handler &heat_file) {
  Guarded(Form_Location("Update_Dog_names"), [&] {
    bool ok = false;
    const int heat = ui_.Label_heat_num->text().toInt(&ok);
    if (!ok)
      Raise(Err_Type_Mismatch, QStringLiteral("No heat shown: \"") + ui_.Label_heat_num->text() + QLatin1Char('"'));
    for (std::int16_t box = 1; box <= 6; ++box)
      heat_file.Set_Hound_Dog_name(box, events_.Reg_Dog_Name(Checked_16(heat), box));
  });
}
