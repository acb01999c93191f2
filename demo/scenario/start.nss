; The demo game's first scenario ("scnstart"). Later parts of the game add
; their pictures, sounds and screens to it as they are built. It ends as a
; finished game does: back at the start menu.
        title "序章"
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
        name "ミオ"
        text "そういえば、まだお名前を聞いていませんでした。"
        waitclick 0               ; the question is read before the dialog covers it
        input &1, "ユウ"          ; the name-input dialog: the player's name into string 1
        nl
        text "よろしくお願いします、"
        textvar &1
        text "さん。"
        page
        savepoint                 ; slot 99: the load menu's "最新の選択肢"
        name "ミオ"               ; again: a game loaded at the save point has no name shown
        textvar &1
        text "さん、どちらへ行きますか？"
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
        text "デモはここでおしまいです。"
        page
        totitle                   ; the game is over: back to the start menu
