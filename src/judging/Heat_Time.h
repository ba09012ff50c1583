#pragma once
// The heat time of the image under review: the time a dog gets when its box button is
// pressed on that image. It runs from the frame's capture tick to the heat's start stamp,
// both on the wrapping millisecond tick, plus the capture chain's own delay, plus the field
// gap for the second field of an interlaced frame, minus the camera's video pipe delay.
//
// The slider counts fields when the recording's frames hold two fields and frames when they
// do not. The frames say so themselves (the header's interlaced flag); the measured rate
// would step a progressive 25 fps recording by fields that are not there.

#include <QString>
#include <cstdint>

// Added to every image's stamp: the delay of the capture chain in front of the stamp.
inline constexpr std::int32_t chain_delay_ms = 2;
// The second field of an interlaced frame was taken this much after the first.
inline constexpr std::int32_t field_gap_ms = 20;
// Which field of its frame an image is: 1, 2, or a whole frame.
inline constexpr std::int16_t whole_frame = 99;

// What the heat time needs of the open recording.
struct Heat_Timing {
  std::int32_t start_tick = 0; // Hound_start_PC_mill
  bool interlaced = false;     // the frames hold two fields
  double compensation_ms = 0;  // the camera's video pipe delay, as stored in the header
};

// The timing of a heat file; compensation is the header's text. Text that is no number
// raises 13 (the header reads such text as "0" already).
Heat_Timing Review_Timing(std::int32_t start_tick, bool interlaced, const QString &compensation);

// The compensation that belongs to the camera of the active line (`m_Line_Index`: 1 goal
// camera, 2 split camera): each camera has its own video pipe, and so its own delay.
QString Review_Compensation(const QString &goal_compensation, const QString &split_compensation,
                            std::int16_t line_index);

// m_Heat_Elapsed_AR of the image with that capture tick; field_to_show is 1, 2 or
// whole_frame. Only the second field of an interlaced frame adds field_gap_ms. Rounded
// halves to even; a result beyond 32 bits raises 6.
std::int32_t Heat_Elapsed_AR(const Heat_Timing &timing, std::int32_t capture_tick, std::int16_t field_to_show);

// ---- the slider ----

// One image of the slider: the frame (1-based) and the field of it shown (1, 2 or whole_frame).
struct Review_Image {
  std::int32_t frame = 0;
  std::int16_t field = whole_frame;
  friend bool operator==(const Review_Image &, const Review_Image &) = default;
};

bool Slider_Counts_Fields(bool interlaced);
// The slider's last position for a recording of num_frames frames.
std::int32_t Slider_Max(bool counts_fields, std::int32_t num_frames);
// The image at a slider position (1-based); positions below 1 raise 9. Fields 2k - 1 and 2k
// are the two fields of frame k.
Review_Image Image_At(std::int32_t position, bool counts_fields);
// The slider position that shows the image; a whole frame in a field-counting slider is shown
// from its first field.
std::int32_t Slider_Position(Review_Image image, bool counts_fields);
