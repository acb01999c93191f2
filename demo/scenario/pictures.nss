; The pictures tour: backgrounds, sprites with alpha and an event picture
; through several transitions, a vertical pan, a quake and a flash. Started
; on its own it plays round and round; another scenario can play it once
; with farcall "pictures.nsd", tour. Its pictures come from tools/demopictures.
top:
        call tour
        jmp top
tour:
        effect 49                 ; blend
        show "bg\\room.png", 0, 0, 0, 0
        wait 1000
        effect 31                 ; blinds
        show "chara\\mio.png", 10, -39, -18, 2
        wait 800
        effect 41                 ; whorl
        show "chara\\ren.png", 11, -33, -18, 2
        wait 1200
        quake 0, 20, 2, 12        ; both ways, 20 frames, dying away, 12 pixels
        wait 500
        effect 63                 ; slit curtain
        remove 10
        remove 11
        show "event\\ev01.png", 1, 0, 0, 0   ; over the room
        wait 1000
        flash 0xFFF0C0            ; a warm white
        wait 500
        remove 1
        pan "bg\\sky.png", 0, 1, 90
        wait 3500
        effect 4                  ; circle
        show "bg\\garden.png", 0, 0, 0, 0
        wait 1200
        effect 9                  ; cut-in
        show "chara\\mio.png", 10, -36, -18, 2
        wait 1500
        remove 10
        ret
