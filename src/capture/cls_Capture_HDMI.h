#pragma once
// The capture object: drives one camera through the capture component, finds the source the
// operator chose, crops every delivered frame to the centre of the picture, keeps the frame
// rate figures and raises HDMIreceived once per frame. While a heat is captured the owner has
// each frame stored into the frame buffer list (Store_HDMI_Buffer).
//
// A frame's stamps are those of its capture: last_Capture_mill and last_Capture_local are
// the tick and local time the device captured it at, and the delta is taken between the
// capture ticks of consecutive frames, so how late the window handles a frame changes none
// of them.

#include "capture/Capture_Component.h"
#include "capture/Frame_Record_Pool.h"
#include "imaging/cDIBSection.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>

class Draw_Surface;

class cls_Capture_HDMI : public QObject, private IVideoCapEvent {
  Q_OBJECT

public:
  static constexpr std::int32_t rate_block_frames = 50;
  static constexpr std::int32_t largest_delta_ms = 10000;
  // Records kept ready for storing: 120 ms of frames at 50 per second.
  static constexpr std::size_t record_pool_depth = 6;

  // Without a component the program's own (Create_Capture_Component) is created.
  explicit cls_Capture_HDMI(std::unique_ptr<Capture_Component> component = nullptr, QObject *parent = nullptr);
  ~cls_Capture_HDMI() override;
  cls_Capture_HDMI(const cls_Capture_HDMI &) = delete;
  cls_Capture_HDMI &operator=(const cls_Capture_HDMI &) = delete;

  // ---- source ----
  bool SourcePropFound() const { return source_prop_found_; }
  // Looks the saved source up among the first ten sources and sets it up. Not found: the
  // message "Could not find the saved Video source! Please re-select Video source!" and false.
  bool Set_Source_from_Saved();
  QString Current_FriendlyName() const;
  QString Current_PropertyString() const;
  QString MaxInterval() const { return max_interval_; }
  QString MinInterval() const { return min_interval_; }
  QString Sourcenum() const { return sourcenum_; }

  // ---- delivery ----
  void set_HDMI_Crop(std::int16_t x, std::int16_t y);
  void Set_Do_CROP(bool crop) { do_crop_ = crop; }
  bool Do_CROP() const { return do_crop_; }
  void Capture_Run();
  void Stop_Capture();
  bool Is_Running() const { return is_running_; }
  QString LastError() const { return last_error_; }

  // ---- figures ----
  std::int16_t Running_Fps() const;
  std::int32_t HDMI_10_mill() const;      // ticks of the 21st to the 31st frame of a run
  QString HDMI_Sample_Dimensions() const; // "1920*1080"
  std::int32_t last_Capture_mill() const { return last_capture_mill_; }
  std::int32_t last_Capture_local() const { return last_capture_local_; }
  std::int32_t last_Capture_delta() const; // 0 below 0 and above 10,000 ms
  std::int32_t Capture_Delta_Raw() const { return capture_delta_; }
  std::int32_t HDMI_events() const { return hdmi_events_; }
  std::int64_t Frames_Lost() const { return frames_lost_; } // by the device since Run
  // The delivered frames hold two fields, 20 ms apart, in alternate rows.
  bool Interlaced() const { return interlaced_; }
  std::int32_t Source_Width() const { return source_width_; }
  std::int32_t Source_Height() const { return source_height_; }
  const cDIBSection &Crop_DIB() const { return crop_dib_; }
  // Top-left corner of the crop in the delivered picture, counted from its top-left.
  std::int32_t Crop_Left() const { return crop_left_; }
  std::int32_t Crop_Top() const { return crop_top_; }
  float Arm_Step() const { return arm_step_; }

  // ---- storing (the frame buffer list) ----
  void Set_Post_linear(bool store);
  bool Post_linear() const { return post_linear_; }
  void Set_MaxFrames(std::int32_t frames);
  std::int32_t MaxFrames() const { return max_frames_; }
  void Store_HDMI_Buffer();
  std::int32_t Buff_Num() const;
  std::int32_t Effective_Video_Object(std::int32_t i) const;
  std::int32_t num_Buffers_stored() const { return num_buffers_stored_; }
  // Set once the memory bound stopped storing; cleared by Capture_Run and a new capture start.
  bool Buffer_Filled() const { return buffer_filled_; }
  // Records made ready for the frames to come (see Frame_Record_Pool).
  std::size_t Records_Ready() const { return record_pool_.Ready(); }

  // ---- a capture, by capture ticks ----
  // A capture keeps exactly the frames whose capture tick lies from the start tick to the end
  // tick, whenever the window gets to see them. Frames of the last look_back_ms are held, so
  // a start signal handled late still gets the frames captured after it.
  static constexpr std::int32_t look_back_ms = 500;
  void Begin_Keeping(std::int32_t start_tick);
  // From now on frames captured after end_tick are not kept.
  void End_Keeping(std::int32_t end_tick);
  // Every frame captured up to the end tick has been delivered (a later one arrived), or no
  // more will come.
  bool End_Frame_Seen() const { return end_frame_seen_ || !is_running_; }
  // The capture is over; frames are held for the next look back only.
  void Stop_Keeping();
  bool Keeping() const { return keeping_; }
  // Frames the device or the delivery lost between the start and the end of the capture.
  std::int64_t Capture_Frames_Lost() const { return capture_lost_; }
  std::size_t Recent_Held() const { return recent_.size(); }

  // ---- drawing ----
  // colour is 0x00BBGGRR. The surface is first cleared to back_colour.
  void Draw_Running_Arm_2(Draw_Surface &surface, std::int32_t colour,
                          const QColor &back_colour = QColor(240, 240, 240));
  void Draw_Cropped_DIB(Draw_Surface &surface);

  Capture_Component &Component() { return *capture_; }

signals:
  void HDMIreceived();
  // A cropped copy failed; the owner stops all cameras.
  void Stop_All_Cameras();
  // The running source failed (unplugged, format refused); delivery has stopped.
  void Capture_Failed(const QString &text);

private:
  void OnRGBEvent(const Captured_Frame &frame) override;
  void OnErrorEvent(const QString &text) override;
  void Take_Stamps(const Captured_Frame &frame);
  void Count_Rate(std::int32_t tick);
  void Read_Header(const Captured_Frame &frame);
  bool Crop_RGB_picture(const Captured_Frame &frame);
  bool Set_Up_Source(int n, const QString &friendly_name);
  void Advise();
  void Clear_Linear_Buffer();
  void Report_Memory_Full();
  void Keep_Or_Hold(const Captured_Frame &frame);
  void Hold_Recent(std::int32_t tick);

  std::unique_ptr<Capture_Component> capture_;
  std::int16_t event_to_send_ = 1;
  std::optional<Capture_Format> video_info_;
  bool header_read_ = false;
  bool do_crop_ = false;
  std::int32_t tick_21_ = 0;
  std::int32_t tick_31_ = 0;
  std::int32_t block_start_tick_ = 0;
  bool block_started_ = false;
  float running_fps_ = 0;
  bool interlaced_ = false;
  std::int32_t source_width_ = 0;
  std::int32_t source_height_ = 0;
  std::int32_t crop_x_ = 0;
  std::int32_t crop_y_ = 0;
  std::int32_t crop_left_ = 0;
  std::int32_t crop_top_ = 0;
  bool source_prop_found_ = false;
  QString sourcenum_;
  QString last_error_;
  QString max_interval_;
  QString min_interval_;
  bool found_source_ = false;
  cDIBSection crop_dib_;
  std::int32_t hdmi_events_ = 0;
  std::int32_t block_count_ = 0;
  std::int32_t advise_cookie_ = 0;
  bool post_linear_ = false;
  std::int32_t max_frames_ = 0;
  std::int32_t num_buffers_stored_ = 0;
  bool buffer_filled_ = false;
  bool is_running_ = false;
  float arm_step_ = 0;
  std::int32_t last_capture_mill_ = 0;
  std::int32_t last_capture_local_ = 0;
  std::int32_t previous_tick_ = 0;
  std::int32_t capture_delta_ = 0;
  std::int64_t frames_lost_ = 0;
  bool keeping_ = false;
  std::int32_t keep_from_tick_ = 0;
  std::optional<std::int32_t> keep_until_tick_;
  bool end_frame_seen_ = false;
  std::int64_t capture_lost_ = 0;
  // The frames of the last look_back_ms, oldest first, while no capture keeps them.
  std::deque<std::unique_ptr<CVideobuff_RGB>> recent_;
  // Records of the crop's size made ready while the camera runs.
  Frame_Record_Pool record_pool_{record_pool_depth};
};
