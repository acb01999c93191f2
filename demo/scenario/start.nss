; The demo game's first scenario ("scnstart"). Later parts of the game add
; their pictures, sounds and screens to it as they are built.
        title "Prologue"
        .val 1, 0                 ; $1: how often the player has been here
        farcall "pictures.nsd", tour   ; transitions, a pan, a quake and a flash
        effect 49                 ; blend into the room
        show "bg\\room.png", 0, 0, 0, 0
        window 1
        name "ミオ"
        voice "mio01"             ; the page keeps its voice: the backlog replays it
        text "ようこそ、"
        ruby "灯籠", "とうろう"
        text "の館へ。"
        nl
        text "ここでは言葉が一文字ずつ"
        ruby "現", "あらわ"
        text "れます。"
        page
        text "クリックすると残りがすぐに出て、"
        nl
        text "もう一度クリックすると次のページへ進みます。"
        page
        farcall "sounds.nsd", tour     ; a chime, rain, a voice and music tracks 1 and 2
        ld $1
        push 1
        add
        st $1
        push 1
        push #1
        add
        st #1                     ; #1: counted across games in the user file
        savepoint                 ; slot 99: the load menu's "最新の選択肢"
        text "どちらへ行きますか？"
        nl
        link 1
        text "庭園へ"
        endlink
        nl
        link 2
        text "書斎へ"
        endlink
        select $2
        ld $2
        push 1
        eq
        jz library
        farcall "garden.nsd", scene
        jmp done
library:
        farcall "library.nsd", scene
done:
        name ""
        text "The end of the demo."
        page
        end
