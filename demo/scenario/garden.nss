; Scene 1: the garden.
scene:
        effect 10
        show "bg\\garden.png", 0, 0, 0, 0
        window 1
        name "ミオ"
        voice "mio02"
        text "一面に花が咲いています。"
        page
        seen 1
        syssave
        ret
