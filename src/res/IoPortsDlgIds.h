#pragma once
// Control ids of the I/O ports window (template 137).

enum IoPortsDlgId : int {
    IDD_IO_PORTS = 137,

    // Port P3: check boxes of bits 7 .. 0 (left to right), and its write button
    IDC_P3_BIT7 = 1048,
    IDC_P3_BIT0 = 1055,
    IDC_CHANGE_P3 = 1056,

    // Port P5
    IDC_P5_BIT7 = 1057,
    IDC_P5_BIT0 = 1064,
    IDC_CHANGE_P5 = 1065,

    // Port P6 (display only)
    IDC_P6_BIT7 = 1066,
    IDC_P6_BIT0 = 1073,

    // Analog channels CH1 .. CH8
    IDC_ANALOG_CH1 = 1080,
    IDC_ANALOG_CH2 = 1081,
    IDC_ANALOG_CH3 = 1075,
    IDC_ANALOG_CH4 = 1082,
    IDC_ANALOG_CH5 = 1076,
    IDC_ANALOG_CH6 = 1083,
    IDC_ANALOG_CH7 = 1077,
    IDC_ANALOG_CH8 = 1084,

    // Commands
    IDC_RESTART_TARGET = 1078,
    IDC_READ_REFRESH = 1079,
};

inline constexpr int kPortBits = 8;
inline constexpr int kAnalogChannels = 8;

// The check box of bit k (0..7) of each port: bit 7 has the lowest id.
constexpr int P3Box(int bit) { return IDC_P3_BIT0 - bit; }
constexpr int P5Box(int bit) { return IDC_P5_BIT0 - bit; }
constexpr int P6Box(int bit) { return IDC_P6_BIT0 - bit; }

// The edit of analog channel k+1, k = 0..7.
inline constexpr int kAnalogEdits[kAnalogChannels] = {IDC_ANALOG_CH1, IDC_ANALOG_CH2, IDC_ANALOG_CH3, IDC_ANALOG_CH4,
    IDC_ANALOG_CH5, IDC_ANALOG_CH6, IDC_ANALOG_CH7, IDC_ANALOG_CH8};
