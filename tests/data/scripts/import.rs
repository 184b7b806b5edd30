// The picture is found next to this script, whatever the case of its name.
image( 3, import( "../Pictures/Ramp.png", 50, 16, 2 ) );
copybits( 0, 3, 0, 0, 16, 2, 10, 10 );
