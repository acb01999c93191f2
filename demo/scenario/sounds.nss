; The sounds tour: a one-shot effect, a looping effect, a voice line over it,
; then music tracks 1 and 2. With "bgmCDDA" 0 the music comes from the files
; bgm\01.wav (WAVE) and bgm\02.wav (MP3 data); with "bgmCDDA" 1 from tracks
; 1 and 2 of the CD (the demo's image cd\lantern.cue). Started on its own it
; plays round and round; another scenario plays it once with
; farcall "sounds.nsd", tour. Its sounds come from demo/sounds/make_sounds.py.
top:
        call tour
        jmp top
tour:
        se "chime"                ; one-shot: voice\chime.wav at "seLevel"
        wait 700
        seloop "rain"             ; looping: se\rain.wav at "se2Level"
        wait 1200
        voice "mio01"             ; voice\mio01.wav at "seLevel", over the rain
        wait 1400
        sestop
        music 1                   ; track 1 at "cdLevel"
        wait 2500
        music 2                   ; track 2
        wait 2500
        musicstop
        ret
