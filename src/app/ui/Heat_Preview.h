#pragma once
// The heat preview of the main window: before a heat is recorded it shows which heat of the
// event comes next (the heat selector), its name, length and the event day, and in the
// "Heat data" panel the dog of each box beside its tile. The event data comes from the
// event registration window; an opened heat file later writes over the same labels.

#include <cstdint>
#include <functional>

namespace Ui {
class Form_Lurcher;
}
class Form_event_registration;
class cls_VideoFile_handler;

class Heat_Preview {
public:
  // heat_file_open tells whether a heat file is open (for recording or review).
  Heat_Preview(Ui::Form_Lurcher &ui, Form_event_registration &events, std::function<bool()> heat_file_open);

  // The selector changed: with an event file in use and no heat file open, the panel shows
  // the selected heat and the choice is stored (Settings/"Heat_ID").
  void UpDown_heat_Change();
  // Fills the heat labels from the event, or marks them "Test" without an event file.
  void Display_Heat_Data();
  void Command_hide_Click();
  // The event window opened, created or closed an event file: the labels follow it, and
  // without an event the "Heat data" panel has nothing to show.
  void Event_Changed();
  // Menu "No Event File": the program goes on without an event; heat files get test names.
  void item_No_event_file_Click();
  // Copies the six dog names of the shown heat into the heat file's header (the caller saves it).
  void Update_Dog_names(cls_VideoFile_handler &heat_file);

private:
  void Show_Event_Heat(std::int16_t heat);
  void Show_No_Event();

  Ui::Form_Lurcher &ui_;
  Form_event_registration &events_;
  std::function<bool()> heat_file_open_;
};
