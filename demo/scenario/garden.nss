; Scene 1: the garden.
scene:
        effect 10
        show "bg\\garden.png", 0, 0, 0, 0
        window 1
        name "Mio"
        text "Flowers everywhere."
        page
        seen 1
        syssave
        ret
