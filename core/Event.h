#pragma once

// What a control did; values are fixed because events carry them as ints.
enum EventAction {
    ACTION_FIRE = 0,
    ACTION_MOUSE_RIGHT = 1,
    ACTION_JUMP = 2,
    ACTION_MOVE_LEFT = 3,
    ACTION_MOVE_RIGHT = 4,
    ACTION_RELOAD = 5,
    ACTION_KEY_S = 6,
    ACTION_KEY_SHIFT = 7,
    ACTION_SELECT_1 = 8,
    ACTION_SELECT_2 = 9,
    ACTION_SELECT_3 = 10,
    ACTION_SELECT_4 = 11,
    ACTION_KEY_Q = 12,
    ACTION_KEY_B = 13,
    ACTION_KEY_M = 14,
    ACTION_AIM = 15,
};

// One change of a control, for the fighter playerId.
struct Event {
    int playerId;
    int action;
    bool pressed;
    int value;  // ACTION_AIM: mouse x * 65536 + mouse y
};
