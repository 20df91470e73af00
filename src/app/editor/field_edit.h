#pragma once
// A one-line field of the editor that keeps the text it was last shown: Escape brings that text back
// (the unsaved typing goes), Enter commits and then hands the keyboard on (to the 3D view).

#include <QLineEdit>

#include <functional>

class TFieldEdit : public QLineEdit {
 public:
  explicit TFieldEdit(QWidget* pai = nullptr) : QLineEdit(pai) {}

  // Puts `texto` in the field as its saved value.
  void ShowSaved(const QString& texto);
  const QString& Saved() const { return saved_; }
  // Called after Enter has committed the field.
  void OnEnter(std::function<void()> depois) { afterEnter_ = std::move(depois); }

 protected:
  void keyPressEvent(QKeyEvent* evento) override;

 private:
  QString saved_;
  std::function<void()> afterEnter_;
};
