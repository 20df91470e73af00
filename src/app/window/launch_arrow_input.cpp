#include "app/window/launch_arrow_input.h"

#include "app/widgets/gl_panel.h"
#include "app/widgets/panel_view.h"
#include "render/vector_drawing.h"

TLaunchArrowInput::TLaunchArrowInput(TGLPanel& panel, const TCamera& camera, std::function<TScene*()> cena,
                                     TLaunchArrowDrag arrow)
    : panel_(panel), camera_(camera), scene_(std::move(cena)), arrow_(std::move(arrow)) {
  panel_.AddOverlay(*this);
}

TLaunchArrowInput::~TLaunchArrowInput() {
  panel_.RemoveOverlay(*this);
}

bool TLaunchArrowInput::MousePress(QMouseEvent& e) {
  const TScene* cena = scene_();
  if (e.button() != Qt::LeftButton || !cena) return false;
  const TPanelSpot p = EventSpot(e);
  return arrow_.Press(*cena, PanelViewOf(panel_, camera_), p.x, p.y);
}

bool TLaunchArrowInput::MouseMove(QMouseEvent& e) {
  const TScene* cena = scene_();
  if (!(e.buttons() & Qt::LeftButton) || !cena) return false;
  const TPanelSpot p = EventSpot(e);
  return arrow_.Move(*cena, PanelViewOf(panel_, camera_), p.x, p.y);
}

bool TLaunchArrowInput::MouseRelease(QMouseEvent& e) {
  const TScene* cena = scene_();
  if (e.button() != Qt::LeftButton || !cena) return false;
  const TPanelSpot p = EventSpot(e);
  return arrow_.Release(*cena, PanelViewOf(panel_, camera_), p.x, p.y);
}

void TLaunchArrowInput::Draw(int, int) {
  const TScene* cena = scene_();
  if (!cena) return;
  if (const auto seta = arrow_.Shown(*cena)) DrawLaunchArrow(seta->inicio, seta->velocidade);
}
