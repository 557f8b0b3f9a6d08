// Identifiers of the editor's PNG pictures, shared by the resource script, the editor and the
// picture generator, with the geometry each picture must have. The resource compiler reads
// this header too, so it holds preprocessor definitions only.
#ifndef KORVALITE_RESOURCES_RESOURCEIDS_H
#define KORVALITE_RESOURCES_RESOURCEIDS_H

// The editor's whole face.
#define KORVALITE_RES_BACKGROUND 2100
#define KORVALITE_RES_BACKGROUND_WIDTH 1191
#define KORVALITE_RES_BACKGROUND_HEIGHT 734

// Film strip of the three big knobs (gain, tone, volume): frames stacked top to bottom.
#define KORVALITE_RES_KNOB_BIG 2111
#define KORVALITE_RES_KNOB_BIG_WIDTH 97
#define KORVALITE_RES_KNOB_BIG_FRAME_HEIGHT 101
#define KORVALITE_RES_KNOB_BIG_FRAMES 261

// Film strip of the small mix knob.
#define KORVALITE_RES_KNOB_SMALL 2112
#define KORVALITE_RES_KNOB_SMALL_WIDTH 27
#define KORVALITE_RES_KNOB_SMALL_FRAME_HEIGHT 30
#define KORVALITE_RES_KNOB_SMALL_FRAMES 261

// Film strips of the two VU meters, from rest (first frame) to full scale (last frame).
#define KORVALITE_RES_VU_LEFT 2113
#define KORVALITE_RES_VU_RIGHT 2114
#define KORVALITE_RES_VU_WIDTH 114
#define KORVALITE_RES_VU_FRAME_HEIGHT 87
#define KORVALITE_RES_VU_FRAMES 131

// The power switch: the off state above, the on state below.
#define KORVALITE_RES_POWER_SWITCH 2115
#define KORVALITE_RES_POWER_SWITCH_WIDTH 121
#define KORVALITE_RES_POWER_SWITCH_FRAME_HEIGHT 105
#define KORVALITE_RES_POWER_SWITCH_FRAMES 2
// The toggle's centre inside one state picture, and the half sizes of the box that holds its
// washer and the lever's travel up and down: the only part that takes a click (the pilot lamp
// and the transparent rest of the picture cover the mix knob and the panel's printing).
#define KORVALITE_RES_POWER_SWITCH_LEVER_X 84
#define KORVALITE_RES_POWER_SWITCH_LEVER_Y 56
#define KORVALITE_RES_POWER_SWITCH_LEVER_HALF_WIDTH 16
#define KORVALITE_RES_POWER_SWITCH_LEVER_HALF_HEIGHT 36

// Every picture also exists at twice its size each way (for the editor's larger zooms), drawn
// at that size rather than enlarged. So that a zoomed editor decodes only the frames it shows,
// a 2x picture is cut into parts of at most this many frames: part k holds frames 16 k to
// 16 k + 15 (the last part the rest), side by side from left to right (so the compressor finds
// each row's unchanged pixels in the neighbouring frames). The background and the power
// switch are one part each. The parts are listed in Pictures2x.rc.
#define KORVALITE_RES_2X_FRAMES_PER_PART 16
// The resource identifier of part `part` of the 2x picture of resource `resource`.
#define KORVALITE_RES_2X_PART(resource, part) (20000 + ((resource)-2100) * 64 + (part))

#endif  // KORVALITE_RESOURCES_RESOURCEIDS_H
