// A settings dialog's slider: its range and steps, set up in this order:
// range, position, tick frequency, page size, line size.
#pragma once

struct SliderSetup {
    int id;
    int first;
    int last;
    int ticFrequency;
    int pageSize;
    int lineSize;
};
