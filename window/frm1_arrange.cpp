// Moving and resizing the players with the small buttons above them.
#include "frm1.h"

namespace {

constexpr float kStep = 100.0f;

void moveLeft(IMediaPlayer& player) {
    if (!(player.Left() > kStep)) return;
    player.setLeft(player.Left() - kStep);
}

void moveRight(IMediaPlayer& player) { player.setLeft(player.Left() + kStep); }

void enlarge(IMediaPlayer& player) {
    player.setHeight(player.Height() + kStep);
    player.setWidth(player.Width() + kStep);
}

void shrink(IMediaPlayer& player) {
    // Both sides are read before either is tested.
    const float height = player.Height();
    const float width = player.Width();
    if (!(height > kStep) || !(width > kStep)) return;
    player.setHeight(player.Height() - kStep);
    player.setWidth(player.Width() - kStep);
}

}  // namespace

void frm1::p1left_Click() { moveLeft(*wmp1); }
void frm1::p1right_Click() { moveRight(*wmp1); }
void frm1::h1plus_Click() { enlarge(*wmp1); }
void frm1::h1minus_Click() { shrink(*wmp1); }

void frm1::p2left_Click() { moveLeft(*wmp2); }
void frm1::p2right_Click() { moveRight(*wmp2); }
void frm1::h2plus_Click() { enlarge(*wmp2); }
void frm1::h2minus_Click() { shrink(*wmp2); }
