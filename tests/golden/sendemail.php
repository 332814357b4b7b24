<?php
	$email = $_REQUEST['email'] ?? '' ;
	$message = $_REQUEST['message'] ?? '' ;
	if (!is_string($email) || !is_string($message) || strpos($email . $message, "\0") !== false) { $email = ''; $message = ''; }
	
	if (($email) || ($message))
	{
		if (!$email)
		{
			$email = "no-reply@tarnwick.example";
		}
	
		if (!$message)
		{
			$message = "";
		}
	
		if (strlen($email) == 0)
		{
			$email = "no-reply@tarnwick.example";
		}
	
		if (filter_var($email, FILTER_SANITIZE_EMAIL))
		{
			if (preg_match("/(\\r|\\n)/", $email)) 
			{
				header( "Location: http://x/de-de/contacterror" );
			}
			else
			if (@mail( "contact@tarnwick.example", "tarnwick - Contact form",  "From: " . $email . "\n" . $message)) 
			{
				header( "Location: http://x/de-de/contactok" );
			} 
			else
			{
				header( "Location: http://x/de-de/contacterror" );
			}
		}
		else
		{
			header( "Location: http://x/de-de/contacterror" );
		}
	}
	else
	{
		header( "Location: http://x/de-de/contacterror" );
	}
?>
