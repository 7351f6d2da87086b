# End-to-end tests of tarven-cli (filled in below).
