// The loopback plug's wire, driven with made-up times: frame pacing and every
// way the output can be held.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/loopback/loopback_line.h"

namespace {

using namespace std::chrono_literals;
using morvek::loopback::FrameTimeOf;
using morvek::loopback::LoopbackLine;
using morvek::loopback::Time;

const Time kStart = Time() + 1h;

DCB Settings(DWORD rate, BYTE bits, BYTE parity, BYTE stop) {
  DCB dcb = morvek::comm::DefaultPortState();
  dcb.BaudRate = rate;
  dcb.ByteSize = bits;
  dcb.Parity = parity;
  dcb.StopBits = stop;
  return dcb;
}

std::string ReadAll(LoopbackLine& line, Time now) {
  char buffer[LoopbackLine::kInputCapacity];
  std::size_t got = line.Read(buffer, sizeof buffer, now);
  return std::string(buffer, got);
}

void Write(LoopbackLine& line, const std::string& bytes, Time now) {
  ASSERT_EQ(line.Write(bytes.data(), bytes.size(), now), bytes.size());
}

TEST(LoopbackLine, AFrameIsStartDataParityAndStopBitsAtTheRate) {
  struct Row {
    DWORD rate;
    BYTE bits, parity, stop;
    std::chrono::nanoseconds frame;
  } rows[] = {
      {9600, 8, NOPARITY, ONESTOPBIT, 1041667ns},         // 10 bits
      {9600, 7, EVENPARITY, TWOSTOPBITS, 1145833ns},      // 11 bits
      {9600, 5, NOPARITY, ONE5STOPBITS, 781250ns},        // 7.5 bits
      {115200, 8, MARKPARITY, ONESTOPBIT, 95486ns},       // 11 bits
      {2000000, 8, NOPARITY, ONESTOPBIT, 5000ns},         // 10 bits
      {110, 8, NOPARITY, TWOSTOPBITS, 100000000ns},       // 11 bits
      {0x7FFFFFFF, 5, NOPARITY, ONESTOPBIT, 3ns},         // 7 bits, rounded
  };
  for (const Row& row : rows)
    EXPECT_EQ(FrameTimeOf(Settings(row.rate, row.bits, row.parity, row.stop)), row.frame) << row.rate;
}

TEST(LoopbackLine, BytesComeBackOneFrameApartInOrder) {
  LoopbackLine line(kStart);
  line.Configure(Settings(9600, 8, NOPARITY, ONESTOPBIT), kStart);
  const auto frame = line.FrameTime();
  Write(line, "abc", kStart);
  EXPECT_EQ(line.ArrivalOf(1), kStart + frame);
  EXPECT_EQ(line.ArrivalOf(3), kStart + 3 * frame);
  EXPECT_EQ(line.ArrivalOf(4), Time::max());
  EXPECT_EQ(ReadAll(line, kStart + frame - 1ns), "");
  EXPECT_EQ(ReadAll(line, kStart + frame), "a");
  EXPECT_EQ(ReadAll(line, kStart + 3 * frame), "bc");
  // An idle wire starts the next byte when it is written, not in the past.
  Write(line, "d", kStart + 1s);
  EXPECT_EQ(line.ArrivalOf(1), kStart + 1s + frame);
}

TEST(LoopbackLine, TheOutputQueueIsBounded) {
  LoopbackLine line(kStart);
  const std::string full(LoopbackLine::kOutputCapacity, 'q');
  Write(line, full, kStart);
  EXPECT_EQ(line.OutputSpace(), 0u);
  EXPECT_EQ(line.Write("more", 4, kStart), 0u);
  line.Advance(kStart + 2 * line.FrameTime());
  EXPECT_EQ(line.Write("more", 4, kStart + 2 * line.FrameTime()), 2u);
}

TEST(LoopbackLine, HardwareFlowHoldsTheOutputUntilTheLineComesBack) {
  struct Row {
    const char* what;
    void (*configure)(DCB&);
    void (*hold)(LoopbackLine&, Time);
    void (*release)(LoopbackLine&, Time);
    bool ctsHold, dsrHold;
    DWORD errors;  // what the receiving side saw
  } rows[] = {
      {"CTS", [](DCB& d) { d.fOutxCtsFlow = 1; }, [](LoopbackLine& l, Time t) { l.SetRts(false, t); },
       [](LoopbackLine& l, Time t) { l.SetRts(true, t); }, true, false, 0},
      {"DSR", [](DCB& d) { d.fOutxDsrFlow = 1; }, [](LoopbackLine& l, Time t) { l.SetDtr(false, t); },
       [](LoopbackLine& l, Time t) { l.SetDtr(true, t); }, false, true, 0},
      {"break", [](DCB&) {}, [](LoopbackLine& l, Time t) { l.SetBreak(true, t); },
       [](LoopbackLine& l, Time t) { l.SetBreak(false, t); }, false, false, CE_BREAK},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    LoopbackLine line(kStart);
    DCB dcb = Settings(9600, 8, NOPARITY, ONESTOPBIT);
    row.configure(dcb);
    line.Configure(dcb, kStart);
    const auto frame = line.FrameTime();
    row.hold(line, kStart);
    Write(line, "xyz", kStart);
    EXPECT_EQ(ReadAll(line, kStart + 1s), "");
    COMSTAT stat = line.Status();
    EXPECT_EQ(stat.cbOutQue, 3u);
    EXPECT_EQ(stat.fCtsHold, row.ctsHold);
    EXPECT_EQ(stat.fDsrHold, row.dsrHold);
    EXPECT_EQ(line.ArrivalOf(1), Time::max());
    // The wire starts again from the release.
    row.release(line, kStart + 2s);
    EXPECT_EQ(line.ArrivalOf(3), kStart + 2s + 3 * frame);
    EXPECT_EQ(ReadAll(line, kStart + 2s + 3 * frame), "xyz");
    EXPECT_EQ(line.TakeErrors(), row.errors);
    EXPECT_EQ(line.TakeErrors(), 0u);
  }
}

TEST(LoopbackLine, XoffLoopedBackStopsTheOutputAndIsNotDelivered) {
  LoopbackLine line(kStart);
  DCB dcb = Settings(9600, 8, NOPARITY, ONESTOPBIT);
  dcb.fOutX = 1;
  line.Configure(dcb, kStart);
  const auto frame = line.FrameTime();
  Write(line, "A\x13" "B\x11" "C", kStart);
  EXPECT_EQ(ReadAll(line, kStart + 1s), "A");
  EXPECT_TRUE(line.Status().fXoffHold);
  EXPECT_EQ(line.Status().cbOutQue, 3u);
  line.SetXoffHold(false, kStart + 2s);
  EXPECT_EQ(ReadAll(line, kStart + 2s + 3 * frame), "BC");
  // Turning fOutX off releases held output; without it they are plain data.
  Write(line, "\x13rest", kStart + 3s);
  EXPECT_EQ(ReadAll(line, kStart + 4s), "");
  dcb.fOutX = 0;
  line.Configure(dcb, kStart + 4s);
  EXPECT_EQ(ReadAll(line, kStart + 5s), "rest");
  Write(line, "\x13\x11", kStart + 5s);
  EXPECT_EQ(ReadAll(line, kStart + 6s), "\x13\x11");
}

TEST(LoopbackLine, AFullInputHoldsTheSenderInsteadOfLosingBytes) {
  // Without input flow control the wire stops when the input queue is full;
  // with it, once fewer than XoffLim bytes are free, until it is down to XonLim.
  struct Row {
    bool inX;
    std::size_t heldAt, resumesAt;
  } rows[] = {
      {false, LoopbackLine::kInputCapacity, LoopbackLine::kInputCapacity - 1},
      {true, LoopbackLine::kInputCapacity - 511, 2048},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.inX ? "fInX" : "no flow control");
    LoopbackLine line(kStart);
    DCB dcb = Settings(2000000, 8, NOPARITY, ONESTOPBIT);
    dcb.fInX = row.inX;
    dcb.XonLim = 2048;
    dcb.XoffLim = 512;
    line.Configure(dcb, kStart);
    const auto frame = line.FrameTime();
    // Keep the output full for a long time without reading.
    Time now = kStart;
    std::size_t written = 0;
    for (int second = 0; second < 10; ++second, now += 1s) {
      const std::string chunk(line.OutputSpace(), 'h');
      written += line.Write(chunk.data(), chunk.size(), now);
      line.Advance(now);
    }
    EXPECT_EQ(line.InputSize(), row.heldAt);
    EXPECT_EQ(line.InputSize() + line.OutputSize(), written);
    EXPECT_EQ(line.Status().fXoffSent, row.inX);
    EXPECT_EQ(line.ArrivalOf(1), Time::max());
    EXPECT_EQ(line.TakeErrors(), 0u);
    // Reading to just above the resume level keeps it held; one more byte
    // lets the wire go on, one frame after the read.
    char buffer[LoopbackLine::kInputCapacity];
    const std::size_t toResume = line.InputSize() - row.resumesAt;
    if (toResume > 1) line.Read(buffer, toResume - 1, now);
    EXPECT_EQ(line.ArrivalOf(1), Time::max());
    line.Read(buffer, 1, now + 1s);
    EXPECT_EQ(line.ArrivalOf(1), now + 1s + frame);
    EXPECT_FALSE(line.Status().fXoffSent);
  }
}

}  // namespace
