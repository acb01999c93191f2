; Scene 1: the garden.
scene:
        effect 10
        show "bg\\garden.png", 0, 0, 0, 0
        window 1
        name "Mio"
        voice "mio02"
        text "Flowers everywhere."
        page
        seen 1
        syssave
        ret
