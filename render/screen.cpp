// In-game screen states, the one-shot key actions and the renderer's user
// message relay.
#include <cstring>

#include "cockpit/hud.h"
#include "cockpit/tacmap.h"
#include "net/chat.h"
#include "render/render.h"
#include "render/view.h"
#include "shell/wndproc.h"
#include "sim/trig.h"

ScreenStateEntry render_ScreenStateTable[RENDER_SCREEN_STATES] = {
    {nullptr, nullptr, 0},
    {hud_CommandMenuDraw, hud_CommandMenuKeys, 1},
    {hud_WingMenuDraw, hud_WingMenuKeys, 0},
    {chat_LineDraw, chat_LineKeys, 0},
    {tacmap_DebriefDraw, tacmap_DebriefKeys, 1},
    {nullptr, view_EjectKeys, 1},
    {tacmap_PausePageDraw, tacmap_PausePageKeys, 3},
    {tacmap_PlayerTypeDraw, tacmap_PlayerTypeKeys, 0},
    {tacmap_PlayerListDraw, tacmap_PlayerListKeys, 0},
    {hud_RepeaterDraw, hud_RepeaterKeys, 0},
    {tacmap_ResultPageDraw, tacmap_ResultPageKeys, 0},
    {tacmap_ResultScoresDraw, tacmap_ResultPageKeys, 0},
    {tacmap_ScorePageDraw, tacmap_ScorePageKeys, 0},
    {nullptr, tacmap_PanKeys, 0xC},
};
const ScreenStateEntry* render_ScreenStateCurrent = nullptr;
const ScreenStateEntry* render_ScreenStatePrevious = nullptr;

void render_ScreenStateSet(int32_t n) {
    // Only 1..13 name a screen; anything else would point off the table.
    if (n < 1 || n >= RENDER_SCREEN_STATES) return;
    render_ScreenStatePrevious = render_ScreenStateCurrent;
    render_ScreenStateCurrent = &render_ScreenStateTable[n];
    tacmap_GoalsShown = 0;
    tacmap_KeysShown = 0;
}

void render_ScreenStateSetC(int32_t n) { render_ScreenStateSet(n); }

void (*const render_KeyActionTable[RENDER_KEY_ACTIONS])(void) = {
    nullptr, nullptr, render_Screenshot, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

void render_UserMessageRelay(int32_t value) {
    if (value == -1) return;
    if ((uint32_t)value & 0x80000000u)
        app_PostRendererMessage((int32_t)((uint32_t)value & 0x7FFFFFFFu));
    else
        vid_PostDeferredCall(value);
}

void render_UserMessageHookInstall(void) { app_UserMessageHook = render_UserMessageRelay; }

void render_UserMessageEventPost(uint16_t value) {
    trig_Event = TriggerEvent{};
    trig_Event.type = 5;
    trig_Event.id = value;
    trig_PostEvent();
}
