#pragma once

class ReceiverEmulator;

// Ways a peer may answer the description request (0x26), for probing tests.
namespace DescriptionCases {

enum Case {
    Normal,
    WrongStatus,        // 0xAB instead of 0xAA
    DropAfterStatus,    // 0xAA, then the connection is closed
    Trickle,            // the description one byte every 1.5 s
    EndlessForeignTags, // 0xAA, then unknown tags without end
    ZeroLengthChunk,    // an empty chunk before the description
    ForeignTag,         // an unknown tag between two chunks
    EndNonZero,         // "END" with a fourth byte 'X' before the real end
    ZeroInPayload,      // a zero byte after the description, then junk
};

// Answers 0x26 on this emulator as the case says.
void install(ReceiverEmulator &emulator, Case which);

} // namespace DescriptionCases
