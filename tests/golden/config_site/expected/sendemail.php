<?php
	$email = $_REQUEST['email'] ?? '' ;
	$message = $_REQUEST['message'] ?? '' ;
	if (!is_string($email) || !is_string($message) || strpos($email . $message, "\0") !== false) { $email = ''; $message = ''; }
	
	if (($email) || ($message))
	{
		if (!$email)
		{
			$email = "nobody@quill.example.org";
		}
	
		if (!$message)
		{
			$message = "";
		}
	
		if (strlen($email) == 0)
		{
			$email = "nobody@quill.example.org";
		}
	
		if (filter_var($email, FILTER_SANITIZE_EMAIL))
		{
			if (preg_match("/(\\r|\\n)/", $email)) 
			{
				header( "Location: http://x/en-us/contacterror" );
			}
			else
			if (@mail( "team@quill.example.org", "quillsite - Contact form",  "From: " . $email . "\n" . $message)) 
			{
				header( "Location: http://x/en-us/contactok" );
			} 
			else
			{
				header( "Location: http://x/en-us/contacterror" );
			}
		}
		else
		{
			header( "Location: http://x/en-us/contacterror" );
		}
	}
	else
	{
		header( "Location: http://x/en-us/contacterror" );
	}
?>
