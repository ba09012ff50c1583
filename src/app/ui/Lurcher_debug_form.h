#pragma once
// The debug text window: a text the program fills (the file properties of a heat file),
// to read, print or hide.

#include <QMainWindow>
#include <memory>

namespace Ui {
class Lurcher_debug_form;
}

class Lurcher_debug_form : public QMainWindow {
  Q_OBJECT

public:
  explicit Lurcher_debug_form(QWidget *parent = nullptr);
  ~Lurcher_debug_form() override;

  const std::unique_ptr<Ui::Lurcher_debug_form> ui;

  // Replaces the text; the lines may end with CR LF as the reports write them.
  void Set_Text(const QString &text);
  void item_print_Click();

  void item_hide_Click();
  // The lines printed: a heading, the computer and printer, two empty lines, the text.
  QStringList Print_Lines(const QString &printer_name) const;
};
