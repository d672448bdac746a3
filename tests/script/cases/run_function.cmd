run FILE other
