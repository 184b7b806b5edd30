sprite( 1, import( "ramp.png", 50, 16, 2 ) );
sprite( 2, import( "PATTERN.GIF" ) );
sprite( 3, import( "pattern-24.bmp", 30, 8, 8 ), import( "blocks.jpg", 60, 4, 4 ) );
copybits( 0, 1, 0, 0, 16, 2, arg(3), maparg(2, 4) );
