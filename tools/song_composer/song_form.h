// The song's form: the orders that make up each section. The composer arranges by it and the
// song chart marks it.
#pragma once

struct Section {
    const char* name;
    int first_order;
    int orders;
};

constexpr Section SONG_FORM[] = {
    {"intro", 0, 2},   {"theme", 2, 4},   {"variation", 6, 4},
    {"bridge", 10, 3}, {"return", 13, 4}, {"ending", 17, 1},
};
