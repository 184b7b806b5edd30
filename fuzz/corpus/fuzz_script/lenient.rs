Comment( 0, 100, 64 );
Circle( 0, 50, 32, 10 );
That is all; the rest is not read.
line( 0, 0, 0, 99, 63 );
