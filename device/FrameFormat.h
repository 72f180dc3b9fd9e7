#pragma once
// Wire layouts of the two tool protocols. Every byte position the code uses
// is named here; FrameCodec.h builds and tests the frames.

#include <cstdint>

namespace frame {

// ---- Classic frames (CSTM32Dev) -------------------------------------------
// Request: AA 55 <command> <parameters...> FF   (no FF after 0xC9)
// Reply:   B4 96 <code> x x x                   (6 bytes, last 3 opaque)
constexpr std::uint8_t kSync0 = 0xAA;
constexpr std::uint8_t kSync1 = 0x55;
constexpr std::uint8_t kClassicEnd = 0xFF;
constexpr std::uint8_t kClassicReply0 = 0xB4;
constexpr std::uint8_t kClassicReply1 = 0x96;
constexpr int kClassicReplySize = 6;
constexpr int kClassicCodeOffset = 2;
constexpr int kClassicAckBufferSize = 32;
constexpr int kClassicDataBufferSize = 2048;
constexpr int kClassicNameReplyMax = 5;

// Classic commands.
constexpr std::uint8_t kClassicQueryName = 0xC9;
constexpr std::uint8_t kClassicReadUserData = 0xCE;
constexpr std::uint8_t kClassicWriteUserData = 0xCF;
constexpr std::uint8_t kClassicEnterUpdate = 0xC0;
constexpr std::uint8_t kClassicErase = 0xC2;
constexpr std::uint8_t kClassicWriteBlock = 0xC1;
constexpr std::uint8_t kClassicFinish = 0xC3;

// Classic reply codes.
constexpr std::uint8_t kClassicDataWritten = 0x80;
constexpr std::uint8_t kClassicUpdateMode = 0x81;
constexpr std::uint8_t kClassicHeaderAccepted = 0x82;
constexpr std::uint8_t kClassicEraseDone = 0x83;
constexpr std::uint8_t kClassicBlockAccepted = 0x84;
constexpr std::uint8_t kClassicNoData = 0xE0;

// Classic WriteBlock: header AA 55 C1 addr(4) len+6 (2) FF; the data packet
// is data, sum32 (4), filler (1), index low byte (1).
constexpr int kClassicBlockHeaderSize = 10;
constexpr int kClassicBlockTrailerSize = 6;
constexpr std::uint32_t kClassicFlashBase = 0x08004000;
constexpr int kClassicMaxBlock = 2048;
constexpr int kClassicMaxUserData = 2044;  // AA 55 CF data FF fits 2048
constexpr std::uint8_t kClassicFiller = 0x00;

// ---- Length-prefixed frames (CSTM32DevNew, CSTM32DevOmnix) -----------------
// AA 55 00 len(2, LE) payload(len) sum(4, LE) 0D 0A
// sum = the two length bytes plus every payload byte, as unsigned bytes.
// A reply payload is: status, echoed command, data...
constexpr std::uint8_t kFramedZero = 0x00;
constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kLf = 0x0A;
constexpr int kLengthOffset = 3;
constexpr int kPayloadOffset = 5;
constexpr int kHeaderSize = 5;
constexpr int kChecksumSize = 4;
constexpr int kOverhead = 11;  // header 5 + checksum 4 + CR LF
constexpr int kStatusOffset = 5;
constexpr int kEchoOffset = 6;
constexpr int kDataOffset = 7;
constexpr int kAckSize = 13;  // payload of status + echo
constexpr int kHeaderCheckBytes = 7;  // bytes needed to validate a reply
constexpr std::uint8_t kStatusAccepted = 0x80;
constexpr int kFrameBufferSize = 2048;
constexpr int kMaxPayload = kFrameBufferSize - kOverhead;      // 2037
constexpr int kMaxFramedUserData = 2034;                       // 26 len(2) data
constexpr int kMaxFramedBlock = 2048;

// Framed commands.
constexpr std::uint8_t kCmdSyncLoader = 0x10;
constexpr std::uint8_t kCmdQueryName = 0x11;
constexpr std::uint8_t kCmdDeviceInfo = 0x12;
constexpr std::uint8_t kCmdIdStrings = 0x13;
constexpr std::uint8_t kCmdVerify = 0x15;
constexpr std::uint8_t kCmdPartitionTable = 0x1A;
constexpr std::uint8_t kCmdReadUserData = 0x1B;
constexpr std::uint8_t kCmdRestart = 0x21;
constexpr std::uint8_t kCmdSetTime = 0x24;
constexpr std::uint8_t kCmdSelectPartition = 0x25;
constexpr std::uint8_t kCmdWriteUserData = 0x26;
constexpr std::uint8_t kCmdErase = 0x2A;
constexpr std::uint8_t kCmdWriteBlock = 0x2C;
constexpr std::uint8_t kCmdFinish = 0x2D;
constexpr std::uint8_t kCmdRebootToLoader = 0x30;

// Partition table: six entries of 12 bytes; bytes 0..3 of an entry are its
// base address (LE). Entry k (1..6) is named "ID<k>".
constexpr int kPartitionEntrySize = 12;
constexpr int kPartitionCount = 6;
constexpr int kPartitionTableSize = 72;

// Verify payload: 15, partition name (4), image tag (4 bytes at size - 16).
constexpr int kImageTagFromEnd = 16;
constexpr int kImageTagSize = 4;

// SetDeviceTime text "YYYY-MM-DD-hh-mm-ss".
constexpr int kTimeTextSize = 19;

// Programmer verify refusal accepted as success by the workflow.
constexpr int kOmnixVerifyAcceptedCode = 17;

}  // namespace frame
