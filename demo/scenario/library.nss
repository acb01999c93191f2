; Scene 2: the library.
scene:
        effect 20
        show "bg\\library.png", 0, 0, 0, 0
        window 1
        name "ミオ"
        voice "mio02"
        text "静かな書棚が並んでいます。"
        page
        seen 2
        syssave
        ret
