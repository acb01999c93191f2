; The demo game's first scenario ("scnstart"). Later parts of the game add
; their pictures, sounds and screens to it as they are built.
        title "Prologue"
        .val 1, 0                 ; $1: how often the player has been here
        farcall "pictures.nsd", tour   ; transitions, a pan, a quake and a flash
        effect 49                 ; blend into the room
        show "bg\\room.png", 0, 0, 0, 0
        window 1
        name "Mio"
        text "Welcome to the lantern demo."
        page
        ld $1
        push 1
        add
        st $1
        push 1
        push #1
        add
        st #1                     ; #1: counted across games in the user file
        text "Which way?"
        nl
        link 1
        text "The garden"
        endlink
        nl
        link 2
        text "The library"
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
