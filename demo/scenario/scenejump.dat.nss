; Scene replay entry points (positions in "scenario\scene.dat" point here).
        end
scene1: farcall "garden.nsd", scene
        end
scene2: farcall "library.nsd", scene
        end
