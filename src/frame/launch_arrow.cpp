#include "frame/launch_arrow.h"

#include "frame/overlay_text.h"
#include "render/vector_drawing.h"
#include "scene/launch.h"
#include "scene/scene_loader.h"

#include <algorithm>
#include <cmath>

TVector TLaunchArrow::Tip() const {
  return SomaVet(inicio, EscalaVet(velocidade, VectorScale));
}

std::optional<TLaunchArrow> LaunchArrowOf(const TScene& cena, std::optional<std::size_t> selecionado) {
  if (!selecionado || *selecionado >= cena.Objetos.size() || *selecionado >= cena.Corpos.size()) return {};
  const std::size_t i = *selecionado;
  const TObjetoCena& o = cena.Objetos[i];
  if (!o.ODEMove || !cena.Corpos[i] || o.Agarrado || static_cast<int>(i) >= cena.Tabela().RowCount())
    return {};
  return TLaunchArrow{i, StartPlaceOfBody(cena, i), RowLaunch(cena.Tabela(), static_cast<int>(i))};
}

TVector SnappedLaunch(const TVector& v, const TObjetoCena& o) {
  const TVector livre = AlongAllowedAxes(v, o);
  TLaunch l = LaunchOf(livre.x, livre.y, livre.z);
  l.Speed = std::min(std::round(l.Speed * 10) / 10, MaxStartSpeed);
  l.Angle = std::round(l.Angle);
  l.Azimuth = std::round(l.Azimuth);
  const auto c = ComponentsOf(l);
  return AlongAllowedAxes({c[0], c[1], c[2]}, o);
}

std::string LaunchText(const TVector& v) {
  const TLaunch l = LaunchOf(v.x, v.y, v.z);
  if (l.Speed == 0) return "Lançamento: nenhum (o objeto parte do repouso)";
  return "Lançamento: " + DecimalText(l.Speed, 1) + " m/s, " + DecimalText(l.Angle, 0) +
         "° acima da horizontal, direção " + DecimalText(l.Azimuth, 0) + "°";
}

std::optional<TLaunchArrow> TLaunchArrowDrag::Shown(const TScene& cena) const {
  if (drag_) return drag_->objeto < cena.Objetos.size() ? drag_ : std::nullopt;
  if (!paused_ || !paused_()) return std::nullopt;
  return LaunchArrowOf(cena, selection_.Current());
}

bool TLaunchArrowDrag::Press(const TScene& cena, const TPanelView& vista, double x, double y) {
  drag_.reset();
  const std::optional<TLaunchArrow> seta = Shown(cena);
  if (!seta) return false;
  const std::optional<TPanelSpot> ponta = PanelSpotOf(vista, seta->Tip());
  if (!ponta || std::hypot(ponta->x - x, ponta->y - y) > ArrowHandleReach) return false;
  viewNormal_ = NormalizaVet(SubVet(vista.camera.Centro, vista.camera.Olho));
  const std::optional<TVector> sobPlano = MeetPlane(RayThroughPanel(vista, x, y), seta->Tip(), viewNormal_);
  if (!sobPlano) return false;
  planePoint_ = seta->Tip();
  offset_ = SubVet(seta->Tip(), *sobPlano);
  drag_ = seta;
  pressX_ = x, pressY_ = y;
  moved_ = false;
  return true;
}

bool TLaunchArrowDrag::Move(const TScene& cena, const TPanelView& vista, double x, double y) {
  if (!drag_) return false;
  if (!moved_ && std::abs(x - pressX_) <= ClickSlop && std::abs(y - pressY_) <= ClickSlop) return true;
  moved_ = true;
  if (drag_->objeto >= cena.Objetos.size()) return true;  // the scene went; the release drops the drag
  const std::optional<TVector> ponto = MeetPlane(RayThroughPanel(vista, x, y), planePoint_, viewNormal_);
  if (!ponto) return true;
  const TVector ponta = SomaVet(*ponto, offset_);
  const TVector v = EscalaVet(SubVet(ponta, drag_->inicio), 1.0 / VectorScale);
  drag_->velocidade = SnappedLaunch(v, cena.Objetos[drag_->objeto]);
  if (showing_) showing_(drag_->velocidade);
  return true;
}

bool TLaunchArrowDrag::Release(const TScene& cena, const TPanelView& vista, double x, double y) {
  if (!drag_) return false;
  Move(cena, vista, x, y);
  const TLaunchArrow seta = *drag_;
  drag_.reset();
  // A click on the handle, or a scene that changed under the drag, sets nothing.
  if (!moved_ || !LaunchArrowOf(cena, seta.objeto)) return true;
  // Last: the handler builds the scene anew.
  if (set_) set_(seta.objeto, seta.velocidade);
  return true;
}
