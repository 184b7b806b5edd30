// One element of each kind.
desc( 0, 100, 64 );
sprite( 1,
        0110,
        0X9F  );
varmap( 2, 
        f( 0)= 0,
        f( 255)= 100  );
copybits( 0, 1, 0, 0, 8, 2, arg(3), maparg( 2, 4 ) );
pixel( 0, 10, arg(5), 0 );
line( 4, 0, 0, 99, 63 );
rect( 0, 10, 10, 20, 8 );
circle( 0, 50, 32, 10 );
numbox( 0, 0, 0, maparg( 1, 7 ) );
