// lantern: the program's entry hands over to the game's start-up routine.
int main()
{
    return 0;
}
