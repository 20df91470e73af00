#pragma once
// A menu bar item that carries a check mark ("ReaçãoHaptica") shows it, as menu bars on other desktops
// do: the mark is the item's icon, drawn before its caption instead of in place of it.

#include <QProxyStyle>

class QAction;

class TMenuCheckStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  void drawControl(ControlElement elemento, const QStyleOption* opcao, QPainter* pintor,
                   const QWidget* widget) const override;
  QSize sizeFromContents(ContentsType tipo, const QStyleOption* opcao, const QSize& tamanho,
                         const QWidget* widget) const override;
};

// Keeps the action's icon a check mark while it is checked, and no icon otherwise.
void ShowMenuCheckMark(QAction* acao);
