#pragma once
// The capture sources GStreamer offers, in a stable order: video capture devices (class
// Video/Source, all providers shown), then the live test pattern when
// LURCHER_GST_TEST_SOURCE=1. Each source lists the distinct width, height and frame-rate
// combinations of its raw and JPEG caps.

#include "capture/Capture_Component.h"

#include <QString>
#include <vector>

typedef struct _GstDevice GstDevice;

// How to ask the element for one format: the caps for the capsfilter and whether a JPEG
// decoder follows.
struct Gst_Format_Caps {
  QString caps; // "video/x-raw,format=YUY2,width=1920,height=1080,framerate=25/1"
  bool jpeg = false;
};

struct Gst_Source {
  QString friendly_name;
  QString description;
  std::vector<Capture_Format> formats;
  std::vector<Gst_Format_Caps> caps;
  // The device (one reference held); nullptr for the test pattern.
  GstDevice *device = nullptr;

  Gst_Source() = default;
  Gst_Source(Gst_Source &&other) noexcept;
  Gst_Source &operator=(Gst_Source &&other) noexcept;
  Gst_Source(const Gst_Source &) = delete;
  Gst_Source &operator=(const Gst_Source &) = delete;
  ~Gst_Source();
};

// Initialises GStreamer once; false (with the reason) when it cannot start.
bool Gst_Ensure_Initialised(QString *error);

std::vector<Gst_Source> Gst_Enumerate_Sources();
// Adds the formats of caps given as text ("video/x-raw,...; image/jpeg,...") to source.
void Gst_Add_Caps_Formats(Gst_Source &source, const QString &caps_text);
// The test pattern's formats.
Gst_Source Gst_Test_Pattern_Source();

// Bytes of a bottom-up 24-bit frame with rows padded to 4.
std::int32_t Dib_Image_Size(std::int32_t width, std::int32_t height);
