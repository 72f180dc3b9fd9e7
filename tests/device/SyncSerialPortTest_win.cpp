// The Win32 line set-up on a COM port whose device answers like a serial
// line: VARNOK_TEST_COM_PORT names its number (scripts/test-windows gives
// one backed by a pseudo-terminal under Wine); without it these tests are
// skipped. CSyncSerialPort's DCB (8N1 at the baud) and the time-outs its
// calls rely on are read back from the open handle; the order of
// CSerialPort's set-up calls is read by scripts/test-windows from Wine's
// trace of the driver requests while SerialPortWin.OpenAndClose runs.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "device/SerialPort.h"
#include "device/SyncSerialPort.h"

namespace {

struct NoOwner : ISerialPortOwner {
  void OnSerialMessage(unsigned, unsigned, int) override {}
};

TEST(SerialPortWin, OpenAndClose) {
  const char* named = std::getenv("VARNOK_TEST_COM_PORT");
  if (named == nullptr)
    GTEST_SKIP() << "VARNOK_TEST_COM_PORT names no COM port with a line behind it";
  NoOwner owner;
  CSerialPort port;
  ASSERT_EQ(port.Open(&owner, std::atoi(named), 57600, 'N', 8, 1, EV_RXCHAR_BIT | EV_CTS_BIT, 512), 1);
  EXPECT_EQ(port.Close(), 1);
}

TEST(SyncSerialPortWin, OpenSetsAn8N1LineAtTheBaudAndTheTimeOutsItsCallsRelyOn) {
  const char* named = std::getenv("VARNOK_TEST_COM_PORT");
  if (named == nullptr)
    GTEST_SKIP() << "VARNOK_TEST_COM_PORT names no COM port with a line behind it";
  const struct {
    unsigned baud;
    DWORD msPerByte;  // 11000 / baud + 1
  } rows[] = {{115200, 1}, {57600, 1}, {9600, 2}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.baud);
    CSyncSerialPort port;
    ASSERT_EQ(port.Open(std::atoi(named), row.baud, nullptr), 1);
    const HANDLE h = reinterpret_cast<HANDLE>(port.NativeHandle());
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(::GetCommState(h, &dcb));
    EXPECT_EQ(dcb.BaudRate, row.baud);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    COMMTIMEOUTS t{};
    ASSERT_TRUE(::GetCommTimeouts(h, &t));
    // Reads return at once with what is queued; a write gives up after
    // msPerByte for each of its bytes.
    EXPECT_EQ(t.ReadIntervalTimeout, MAXDWORD);
    EXPECT_EQ(t.ReadTotalTimeoutMultiplier, row.msPerByte);
    EXPECT_EQ(t.ReadTotalTimeoutConstant, static_cast<DWORD>(CSyncSerialPort::kReadTotalConstantMs));
    EXPECT_EQ(t.WriteTotalTimeoutMultiplier, row.msPerByte);
    EXPECT_EQ(t.WriteTotalTimeoutConstant, 0u);
  }
}

}  // namespace
