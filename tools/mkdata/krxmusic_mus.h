// The source of the data set's music-logic script "KRXMUSIC.BIN", in the
// assembler's syntax (docs/formats.md). Kept as a string so that the
// builder and the tests need no path to it.
#pragma once

inline const char kMkKrxMusicSource[] = R"MUS(
; The front end's music. Variable 0 (global word 0) is the screen's mood,
; 0 to 4, and picks the entry; variable 1 (global word 1) is a sub-choice:
; when it is set, each entry fades towards a level drawn at random instead
; of towards full. The first entry fades in from silence.
program KRX_Menu
globals 16
locals 16
params 0
entry main
start 0

main:
    push 0
    out 8               ; level and target to silence
    clear
next:
    push 255
    out 9               ; fade towards full over the next entry
    clear
    ldg 4               ; a sub-choice?
    jz pick
    push 144
    push 255
    out 1               ; random 144..255
    out 9
    clear
pick:
    ldg 0
    push 1
    eq
    jnz mood1
    ldg 0
    push 2
    eq
    jnz mood2
    ldg 0
    push 3
    eq
    jnz mood3
    ldg 0
    push 4
    eq
    jnz mood4
    play 0              ; mood 0, and anything out of range
    jmp next
mood1:
    play 1
    jmp next
mood2:
    play 2
    jmp next
mood3:
    play 3
    jmp next
mood4:
    play 4
    jmp next
)MUS";
