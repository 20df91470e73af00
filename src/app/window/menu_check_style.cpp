#include "app/window/menu_check_style.h"

#include <QAction>
#include <QApplication>
#include <QPainter>
#include <QPen>
#include <QStyleOptionMenuItem>

namespace {

constexpr int Espaco = 4;

int IconSide(const QStyle* estilo, const QWidget* widget) {
  return estilo->pixelMetric(QStyle::PM_SmallIconSize, nullptr, widget);
}

QIcon CheckMarkIcon(int lado) {
  QPixmap pix(lado, lado);
  pix.fill(Qt::transparent);
  QPainter p(&pix);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QApplication::palette().color(QPalette::ButtonText), lado / 8.0, Qt::SolidLine, Qt::RoundCap,
                Qt::RoundJoin));
  const QPointF pontos[] = {
      {lado * 0.2, lado * 0.55}, {lado * 0.42, lado * 0.78}, {lado * 0.82, lado * 0.25}};
  p.drawPolyline(pontos, 3);
  return QIcon(pix);
}

}  // namespace

void TMenuCheckStyle::drawControl(ControlElement elemento, const QStyleOption* opcao, QPainter* pintor,
                                  const QWidget* widget) const {
  const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(opcao);
  if (elemento != CE_MenuBarItem || !item || item->icon.isNull()) {
    QProxyStyle::drawControl(elemento, opcao, pintor, widget);
    return;
  }
  // Background over the whole item, the caption moved right, and the mark in the room left before it.
  const int lado = IconSide(this, widget);
  QStyleOptionMenuItem fundo = *item;
  fundo.icon = QIcon();
  fundo.text.clear();
  QProxyStyle::drawControl(elemento, &fundo, pintor, widget);
  QStyleOptionMenuItem texto = *item;
  texto.icon = QIcon();
  texto.rect.setLeft(item->rect.left() + lado + Espaco);
  QProxyStyle::drawControl(elemento, &texto, pintor, widget);
  item->icon.paint(pintor, QRect(item->rect.left() + Espaco, item->rect.center().y() - lado / 2, lado, lado));
}

QSize TMenuCheckStyle::sizeFromContents(ContentsType tipo, const QStyleOption* opcao, const QSize& tamanho,
                                        const QWidget* widget) const {
  const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(opcao);
  if (tipo != CT_MenuBarItem || !item || item->icon.isNull())
    return QProxyStyle::sizeFromContents(tipo, opcao, tamanho, widget);
  // The menu bar measured the icon alone; the caption needs its own room beside it.
  const QSize texto = item->fontMetrics.size(Qt::TextShowMnemonic, item->text);
  const QSize ambos(IconSide(this, widget) + Espaco + texto.width(),
                    std::max(tamanho.height(), texto.height()));
  QSize base = QProxyStyle::sizeFromContents(tipo, opcao, ambos, widget);
  base.rwidth() += 2 * Espaco;
  return base;
}

void ShowMenuCheckMark(QAction* acao) {
  const QIcon marca = CheckMarkIcon(IconSide(QApplication::style(), nullptr));
  auto atualiza = [acao, marca](bool marcado) { acao->setIcon(marcado ? marca : QIcon()); };
  QObject::connect(acao, &QAction::toggled, acao, atualiza);
  atualiza(acao->isChecked());
}
