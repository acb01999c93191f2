; Scene 2: the library.
scene:
        effect 20
        show "bg\\library.png", 0, 0, 0, 0
        window 1
        name "Mio"
        voice "mio02"
        text "Quiet shelves."
        page
        seen 2
        syssave
        ret
