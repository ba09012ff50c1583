#pragma once
// The heat file object: records a heat into a QK3 heat file and reads it back for judging.
// The main window keeps one for the whole run (obj_QK3_Handler).
//
// Writing: Initiate_QK3_File creates the file with a default header; Write_XML_Header
// stamps and rewrites the header block (recoverably, see QK3_File.h); at capture end the
// captured frames are compressed to JPEG and appended as fixed-size records; Close_File
// brings the header's counters up to date.
//
// Reading: Open_File loads the header and finds any frame by arithmetic. Nothing read from
// the file is trusted: sizes are checked against the file before they are used.

#include "imaging/cDIBSection.h"
#include "recording/CVideobuff_RGB.h"
#include "recording/Cls_XML_header.h"
#include "recording/QK3_File.h"
#include "recording/QK3_Layout.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class cls_VideoFile_handler {
public:
  cls_VideoFile_handler();
  ~cls_VideoFile_handler();
  cls_VideoFile_handler(const cls_VideoFile_handler &) = delete;
  cls_VideoFile_handler &operator=(const cls_VideoFile_handler &) = delete;

  // ---- Writing ----
  void Set_File_name(const QString &name); // also sets the suffix
  const QString &File_name() const { return m_File_Name; }
  void Set_Cropped_X(std::int32_t x) { m_Cropped_X = x; }
  void Set_Cropped_Y(std::int32_t y); // (re)creates the compression bitmap; set X first
  void Set_RGB_interlaced(bool interlaced) { m_Next_Interlaced = interlaced; }
  void Initiate_QK3_File(const QString &name = QString());
  void Set_Running_Fps(std::int16_t fps);
  void Write_XML_Header();
  std::int32_t Rounded_Compressed_Size() const { return m_Slot_Size; }
  void Calculate_Compressed_Size(const Frame_Buffer_List &frames);
  void Open_qk3_for_Append();
  // Compresses item index (1-based) of the list and appends it. false when it was not
  // appended (the failure has been reported).
  bool Append_RGB_Frame(std::int32_t index);
  bool Append_RGB_Frame(const Frame_Buffer_List &frames, std::int32_t index);
  // Appends items first..first+count-1 in order, compressing on every core (workers 0: one
  // per hardware thread). Writes the same bytes as Append_RGB_Frame one by one. progress
  // is called after each record with the number appended so far. Returns the number appended.
  std::int32_t Append_RGB_Frames(const Frame_Buffer_List &frames, std::int32_t first, std::int32_t count,
                                 const std::function<void(std::int32_t)> &progress = {}, int workers = 0);
  void Close_File();
  bool File_open() const { return m_File.Is_Open(); }
  // Compresses item index (1-based) of the list at that quality into the output buffer;
  // Last_Compressed_Size and Last_Compressed_Address then describe the JPEG. false when it
  // failed (the failure has been reported).
  bool Compress_Frame(std::int32_t index, std::int32_t quality);
  bool Compress_Frame(const Frame_Buffer_List &frames, std::int32_t index, std::int32_t quality);
  std::int32_t Last_Compressed_Size() const { return m_Last_Compressed_Size; }
  const std::uint8_t *Last_Compressed_Address() const { return m_Compressor.out.data(); }
  void JPG_Sizes(std::int32_t smallest, std::int32_t largest);
  std::int16_t Segments_Num();
  // Frames of this object's passes that did not fit their slot even at quality 3 or could not
  // be compressed at all: they are stored with their times and no picture (JPEG size 0) and
  // show as "Corrupted video".
  std::int32_t Frames_Without_Picture() const { return m_Frames_Without_Picture; }

  // ---- Reading ----
  bool Open_File(const QString &name);
  // Inspection tools open files for reading only, so that opening changes nothing on disk.
  void Set_Open_For_Reading_Only(bool only) { m_Open_For_Reading_Only = only; }
  bool Read_only() const { return m_Read_Only; }
  std::int64_t File_size() const;
  std::int16_t Width() const { return m_Width; }
  std::int16_t Height() const { return m_Height; }
  std::int32_t Num_Frames() const { return m_Num_Frames; }
  std::int16_t Num_fields() const { return m_Num_Fields; }
  std::int16_t QK3_Num_Frames();
  std::int32_t Ms_Per_Frame() const { return m_Ms_Per_Frame; }
  std::int32_t Ms_Per_Field() const { return m_Ms_Per_Field; }
  std::int32_t Clip_Length() const { return m_Clip_Length; }
  bool Interlaced() const { return m_Interlaced; }
  bool Rotated() const { return m_Rotated; }
  const QString &Fourcc() const { return m_Fourcc; }
  const QString &Codec() const { return m_Codec; }
  std::int16_t JPEG_Quality() const { return m_JPEG_Quality; }
  std::int16_t Top_Delimiter() const { return m_Top_Delimiter; }
  std::int32_t Record_Size() const { return m_Record_Size; }
  // Loads record n (1-based); with decode, also decodes its picture into the source bitmap.
  // false when the record could not be loaded (bad-record flag or a reported failure).
  bool Read_RGB_sample(std::int16_t n, bool decode);
  // The 1-based byte position of record n in the file.
  std::int64_t RGB_video_adress(std::int16_t n) const;
  std::int32_t Timestamp_long() const { return m_Loaded.capture_mill; }
  std::int32_t QK3_Capture_mill() const { return m_Loaded.capture_mill; }
  std::int32_t QK3_Capture_local() const { return m_Loaded.capture_local; }
  std::int16_t QK3_Capture_Delta() const;
  std::int32_t QK3_JPEG_Size() const { return m_Loaded.jpeg_size; }
  std::int16_t QK3_Compression_Quality() const;
  std::int32_t RGB_Checksum() const { return m_Checksum; }
  bool Bad_Record() const { return m_Bad_Record; }
  std::int16_t Loaded_Record() const { return m_Loaded_Record; }
  // The picture of the last decoded record, at the stored frame size.
  cDIBSection &Source_Bitmap() { return m_Source; }
  // Reads the header block back into the header object (also used by the writer).
  void Read_QK3_Headers();

  // ---- Reports ----
  QString QK3_Properties();  // the recording's technical data; empty when no file name is set
  QString File_Properties(); // the heat summary

  // ---- The heat header ----
  Cls_XML_header &Header();
  QString Hound_event();
  void Set_Hound_event(const QString &v);
  QString Hound_Heat_ID();
  void Set_Hound_Heat_ID(const QString &v);
  QString Hound_Heat_Name();
  void Set_Hound_Heat_Name(const QString &v);
  QString Hound_Dog_name(int box);
  void Set_Hound_Dog_name(int box, const QString &v);
  std::int32_t Hound_Heat_time(int box, bool split);
  void Set_Hound_Heat_time(int box, bool split, std::int32_t v);
  std::int32_t Hound_Heat_Click_Time(int box);
  void Set_Hound_Heat_Click_Time(int box, std::int32_t v);
  std::int16_t Hound_heat_frame(int box);
  void Set_Hound_heat_frame(int box, std::int16_t v);
  std::int16_t Hound_split_frame(int box);
  void Set_Hound_split_frame(int box, std::int16_t v);
  bool Hound_dead_heat(int box);
  void Set_Hound_dead_heat(int box, bool v);
  std::int32_t Hound_heat_start_local();
  void Set_Hound_heat_start_local(std::int32_t v);
  std::int32_t Hound_start_PC_mill();
  void Set_Hound_start_PC_mill(std::int32_t v);
  QString Hound_start_DateTime();
  void Set_Hound_start_DateTime(const QString &v);
  QString Hound_Heat_Length();
  QString Hound_box_delay();
  void Set_Hound_box_delay(const QString &v);
  QString Hound_Goal_compensation();
  void Set_Hound_Goal_compensation(const QString &v);
  QString Hound_Split_compensation();
  void Set_Hound_Split_compensation(const QString &v);
  QString Hound_Goal_Finish(); // "x1,y1,x2,y2"
  void Set_Hound_Goal_Finish(const QString &v);
  QString Hound_Goal_Split();
  void Set_Hound_Goal_Split(const QString &v);
  QString Phidget_serial();
  void Set_Phidget_serial(const QString &v);
  std::int16_t Measured_fps();

private:
  // Per-worker compression state: the frame is copied into the bitmap and encoded into out.
  struct Compressor {
    cDIBSection bitmap;
    std::vector<std::uint8_t> out;
  };
  struct Compressed_Record {
    QK3::Sample_Fields fields;
    bool fitted = true; // false: stored without picture
    QString failure;    // why the frame could not be compressed; empty when it was
  };

  // Writing
  void Create_QK3_header();
  void Write_QK3_header();
  void Open_For_Writing();
  bool Prepare_Append();
  void Refuse_Pass(const QString &location);
  void Copy_Into_Bitmap(Compressor &compressor, const CVideobuff_RGB &frame) const;
  std::int32_t Encode_Frame(Compressor &compressor, const CVideobuff_RGB &frame, std::int32_t quality) const;
  Compressed_Record Compress_Into_Record(Compressor &compressor, const CVideobuff_RGB &frame,
                                         std::uint8_t *record) const;
  void Write_Record(const std::uint8_t *record, const Compressed_Record &compressed);
  void Reset_File_State();
  void Count_Reduced_Quality(Cls_XML_header &h);
  void Tell_Frames_Without_Picture();
  void Append_In_Parallel(const Frame_Buffer_List &frames, std::int32_t first, std::int32_t count,
                          std::int32_t &written, const std::function<void(std::int32_t)> &progress, int workers);

  // Reading
  bool Open_RGB_File();
  bool Load_Header_Values();
  void Settle_Frame_Count(std::int16_t header_frames);
  void Decode_Loaded_Record(std::int16_t n);
  void Show_Corrupted_Video();

  // Writer state
  QString m_File_Name;
  QString m_File_Suffix;
  std::int16_t m_File_Num = 0;
  std::unique_ptr<Cls_XML_header> m_Header;
  std::int32_t m_Cropped_X = 0;
  std::int32_t m_Cropped_Y = 0;
  Compressor m_Compressor; // the compression bitmap and the output buffer
  bool m_Next_Interlaced = false;
  std::int16_t m_Base_Quality = 80;
  QString m_Codec_Name = QStringLiteral("Intel");
  bool m_Codec_Selected = true;
  std::int32_t m_Slot_Size = 0;
  std::int32_t m_Last_Compressed_Size = 0;
  std::vector<std::uint8_t> m_Write_Record;
  std::int32_t m_Frames_Appended = 0;
  std::int64_t m_Length_Before_Pass = 0;
  std::int32_t m_Measured_Record_Size = 0;
  std::int32_t m_Pass_Min_JPEG = 0;
  std::int32_t m_Pass_Max_JPEG = 0;
  std::int64_t m_Append_Position = 0;
  bool m_Records_Unsynced = false; // records written since the last header write
  bool m_Append_Settled = false;   // m_Append_Position is known for the open file
  std::int32_t m_Frames_Without_Picture = 0;
  std::int32_t m_Pass_Without_Picture = 0; // told to the operator when the pass closes
  std::int32_t m_Pass_Not_Compressed = 0;  // likewise
  QString m_Pass_First_Compress_Failure;
  bool m_Measuring_Close = false;  // the close inside a pass that measures the record size
  std::int32_t m_Pass_Reduced = 0; // frames of this pass stored below the base quality
  bool m_Pass_Refused = false;     // an append of this pass failed: the rest is not tried again

  QK3_File m_File;

  // Reader state
  bool m_Read_Only = false;
  bool m_Open_For_Reading_Only = false;
  std::int64_t m_First_Record = QK3::Header_Block_Size;
  std::int32_t m_Record_Size = 0;
  std::int32_t m_Num_Frames = 0;
  std::int16_t m_Num_Fields = 0;
  std::int32_t m_Ms_Per_Frame = 20;
  std::int32_t m_Ms_Per_Field = 20;
  std::int32_t m_Clip_Length = 0;
  std::int16_t m_Width = 0;
  std::int16_t m_Height = 0;
  bool m_Interlaced = false;
  bool m_Rotated = false;
  QString m_Fourcc;
  QString m_Codec;
  std::int16_t m_JPEG_Quality = 0;
  std::int16_t m_Top_Delimiter = 0;
  std::int16_t m_Loaded_Record = 0;
  bool m_Loaded_Decoded = false;
  QK3::Sample_Fields m_Loaded;
  std::vector<std::uint8_t> m_Read_Record;
  std::int32_t m_Checksum = 0;
  bool m_Bad_Record = false;
  cDIBSection m_Source;
};
